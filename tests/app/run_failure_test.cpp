// Whatever exception leaves a run ends it as a failed run the user is told
// about: the process no longer dies on an uncaught std::bad_alloc.

#include "app/RunFailure.h"

#include <gtest/gtest.h>

#include <exception>
#include <new>
#include <stdexcept>
#include <string>

#include "aggregation/Decimal4.h"
#include "app/LinkApp.h"
#include "tests/support/PlatformUiFixture.h"

namespace taxlink {
namespace {

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST(RunFailureTest, EveryExceptionFailsTheRunWithAWarning) {
  struct Case {
    std::exception_ptr failure;
    std::string message;  // UTF-8
  } cases[] = {
      {std::make_exception_ptr(Decimal4Overflow{}),
       U8(u8"金額が処理できる範囲を超えたため、消費税情報の出力に失敗しました。\n\n"
          u8"アプリケーションを終了します。")},
      {std::make_exception_ptr(std::bad_alloc{}),
       U8(u8"メモリが不足しているため、消費税情報の出力に失敗しました。\n\n"
          u8"アプリケーションを終了します。")},
      {std::make_exception_ptr(std::runtime_error("x")),
       U8(u8"消費税情報の出力に失敗しました。\n\nアプリケーションを終了します。")},
  };
  for (const Case& c : cases) {
    taxlink_test::ScopedScriptedUi ui(R"({"answer":"ok"})");
    LinkApp app;
    EXPECT_NE(FailRunAfterException(app, c.failure), nullptr);
    EXPECT_EQ(app.runResult, kRunFailed);
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{c.message});
    EXPECT_EQ(ui->MismatchCount(), 0);
  }
}

}  // namespace
}  // namespace taxlink
