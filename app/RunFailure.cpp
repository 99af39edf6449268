#include "app/RunFailure.h"

#include <new>
#include <utility>

#include "aggregation/Decimal4.h"
#include "app/LinkApp.h"
#include "platform/dialog/UserInterface.h"
#include "platform/ui/FrontEnd.h"
#include "resources/Caption.h"
#include "resources/Texts.h"

namespace taxlink {

namespace {

constexpr const auto& kOverflowMessage = texts::kRunFailedAmountRange;
constexpr const auto& kOutOfMemoryMessage = texts::kRunFailedOutOfMemory;
constexpr const auto& kFailedMessage = texts::kRunFailed;

}  // namespace

const char* FailRunAfterException(LinkApp& app, std::exception_ptr failure) {
  const char* message = kFailedMessage;
  const char* reason = "an unexpected error ended the run";
  try {
    std::rethrow_exception(std::move(failure));
  } catch (const Decimal4Overflow&) {
    message = kOverflowMessage;
    reason = "an amount exceeded the supported range";
  } catch (const std::bad_alloc&) {
    message = kOutOfMemoryMessage;
    reason = "memory ran out";
  } catch (...) {
  }
  app.Finish(RunOutcome::Failed());
  // Telling the user may itself fail when memory is gone; the result stands.
  try {
    platform::Ui().MessageBox(0, message, kMessageCaption, MB_ICONWARNING | MB_OK);
  } catch (...) {
  }
  return reason;
}

}  // namespace taxlink
