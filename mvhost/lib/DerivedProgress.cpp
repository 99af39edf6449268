#include "mvhost/lib/DerivedProgress.h"

#include <memory>
#include <string>

#include "mvhost/lib/HostMessages.h"
#include "platform/dialog/Dialog.h"
#include "platform/dialog/DialogTemplate.h"
#include "resources/Texts.h"

namespace mvhost {

namespace {

constexpr int kIddRebuild = 9201;
constexpr int kIdcRebuildText = 9202;
constexpr int kIdcRebuildBar = 9203;
constexpr int kBarMax = 100;

const platform::DialogTemplate& RebuildTemplate() {
  using platform::ControlKind;
  static const platform::DialogTemplate kTemplate{
      kIddRebuild,
      taxlink::texts::kHostPrepareCaption,
      {0, 0, 221, 52},
      taxlink::texts::kDialogFont,
      9,
      platform::kDialogCaption | platform::kDialogModalFrame,
      {
          {kIdcRebuildText, ControlKind::kLabel, {5, 6, 211, 20}, "", 0},
          {kIdcRebuildBar,
           ControlKind::kProgressBar,
           {5, 32, 211, 12},
           "",
           platform::kStyleSmooth | platform::kStyleBorder},
      },
  };
  return kTemplate;
}

// The host's own window: a text and a bar, shown while the derived journal
// data are rebuilt (or while a run waits for another process to do so).
class RebuildWindow : public platform::Dialog {
 public:
  RebuildWindow() : platform::Dialog(RebuildTemplate(), 0) {}
};

class HostRebuildDisplay : public RebuildDisplay {
 public:
  void Show(const RebuildProgress& progress) override {
    if (window_ == nullptr) {
      window_ = std::make_unique<RebuildWindow>();
      window_->Create();
      window_->SetCaption(HostCaption());
      window_->ProgressSetRange(kIdcRebuildBar, 0, kBarMax);
      window_->ShowWindow(true);
    }
    const char* text = progress.waiting ? taxlink::texts::kHostDerivedDataBusy
                                        : taxlink::texts::kHostDerivedDataBuilding;
    if (window_->GetItemText(kIdcRebuildText) != text) window_->SetItemText(kIdcRebuildText, text);
    const int64_t total = progress.total > 0 ? progress.total : 1;
    const int64_t done = progress.done < 0 ? 0 : progress.done > total ? total : progress.done;
    window_->ProgressSetPos(kIdcRebuildBar, static_cast<int>(done * kBarMax / total));
    window_->UpdateWindow();
  }

  void Close() override { window_.reset(); }

 private:
  std::unique_ptr<RebuildWindow> window_;
};

RebuildDisplay*& Chosen() {
  static RebuildDisplay* chosen = nullptr;
  return chosen;
}

}  // namespace

RebuildDisplay& CurrentRebuildDisplay() {
  static HostRebuildDisplay window;
  return Chosen() != nullptr ? *Chosen() : window;
}

RebuildDisplay* SetRebuildDisplay(RebuildDisplay* display) {
  RebuildDisplay* before = Chosen();
  Chosen() = display;
  return before;
}

}  // namespace mvhost
