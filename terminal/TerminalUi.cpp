#include "terminal/TerminalUi.h"

#include <algorithm>
#include <cstdio>

#include "mvhost/lib/ToolTipRegistry.h"
#include "platform/dialog/Dialog.h"
#include "platform/ui/FrontEnd.h"
#include "resources/Texts.h"
#include "terminal/MessageBoxView.h"
#include "terminal/SaveAsView.h"

namespace terminal {
namespace {

constexpr int64_t kPaintIntervalMs = 33;  // about 30 repaints a second at most
constexpr int kIdleWaitMs = 250;          // how often an idle loop looks at the size
constexpr const auto& kHelpCaption = taxlink::texts::kTerminalHelpCaption;

int64_t NowMs() { return platform::RepaintThrottle::CoarseNowNs() / 1'000'000; }

}  // namespace

// Keeps a layer on the stack for a scope, also when the scope is left by
// an exception.
class TerminalUi::LayerScope {
 public:
  LayerScope(TerminalUi& ui, Layer layer) : ui_(ui) { ui_.layers_.push_back(layer); }
  ~LayerScope() { ui_.layers_.pop_back(); }
  LayerScope(const LayerScope&) = delete;
  LayerScope& operator=(const LayerScope&) = delete;

 private:
  TerminalUi& ui_;
};

TerminalUi::TerminalUi(std::string transcriptPath)
    : transcriptPath_(transcriptPath), transcript_(std::move(transcriptPath)) {}

TerminalUi::~TerminalUi() = default;

bool TerminalUi::EnsureScreen() {
  if (screen_.Active()) return true;
  if (fallback_ != nullptr) return false;
  if (screen_.Enter()) return true;
  std::fputs("taxlink: the terminal cannot be used; dialogs are cancelled\n", stderr);
  fallback_ = std::make_unique<platform::NoneUi>(transcriptPath_);
  return false;
}

void TerminalUi::Paint() {
  if (!screen_.Active()) return;
  screen_.TakeResize();  // the progress window repaints without reading keys
  if (grid_.Rows() != screen_.Rows() || grid_.Cols() != screen_.Cols()) {
    grid_ = CellGrid(screen_.Rows(), screen_.Cols());
  }
  grid_.Clear();
  std::wstring help;
  for (const std::unique_ptr<DialogView>& view : modeless_) {
    if (!view->Model().IsVisible()) continue;
    std::vector<mvhost::ToolTip> tips = mvhost::ToolTipsOf(&view->Model());
    view->Paint(grid_, layers_.empty(), tips);
  }
  for (std::size_t i = 0; i < layers_.size(); ++i) {
    const Layer& layer = layers_[i];
    bool top = i + 1 == layers_.size();
    if (layer.dialog != nullptr) {
      if (!layer.dialog->Model().IsVisible()) continue;
      std::vector<mvhost::ToolTip> tips = mvhost::ToolTipsOf(&layer.dialog->Model());
      layer.dialog->Paint(grid_, top, tips);
      if (top) help = layer.dialog->HelpLine(grid_, tips);
    } else if (layer.message != nullptr) {
      layer.message->Paint(grid_);
      if (top) help = layer.message->HelpLine();
    } else if (layer.saveAs != nullptr) {
      layer.saveAs->Paint(grid_);
      if (top) help = layer.saveAs->HelpLine();
    }
  }
  if (layers_.empty() && waitCursor_ > 0) help = taxlink::texts::kTerminalBusy;
  int last = grid_.Rows() - 1;
  if (last >= 0 && !help.empty()) {
    grid_.Fill({last, 0, 1, grid_.Cols()}, kReverse);
    grid_.Put(last, 1, help, kReverse, grid_.Cols() - 2);
  }
  screen_.Show(grid_);
  lastPaint_ = NowMs();
  throttle_.Painted();
}

void TerminalUi::Loop(const std::function<bool()>& done,
                      const std::function<void(const Key&)>& handle) {
  bool dirty = true;
  while (!done()) {
    int64_t since = NowMs() - lastPaint_;
    if (dirty && since >= kPaintIntervalMs) {
      Paint();
      dirty = false;
    }
    // Keys that are already there are taken before a repaint, so that a
    // burst (a paste, a held key) repaints at most about 30 times a second.
    int wait = dirty ? static_cast<int>(kPaintIntervalMs - since) : kIdleWaitMs;
    Key key = screen_.ReadKey(wait < 0 ? 0 : wait);
    if (key.kind == Key::kNone) {
      if (!screen_.Active()) return;  // the terminal was given back
      continue;
    }
    if (key.kind != Key::kResize) handle(key);
    dirty = true;
  }
}

int TerminalUi::MessageBox(HWND owner, std::string_view text, std::string_view caption,
                           uint32_t style) {
  if (!EnsureScreen()) return fallback_->MessageBox(owner, text, caption, style);
  MessageBoxView view(text, caption, style);
  std::string answer;
  // Keys typed while the run worked were meant for what was on the screen
  // then, not for this question.
  screen_.DiscardTypeAhead();
  {
    LayerScope scope(*this, Layer{nullptr, &view, nullptr});
    Loop([&] { return !answer.empty(); }, [&](const Key& key) { answer = view.HandleKey(key); });
  }
  if (answer.empty()) answer = platform::UiTranscript::SafeAnswer(style);
  transcript_.Add(platform::UiTranscript::Message(owner, text, caption, style, answer));
  Paint();
  return platform::UiTranscript::AnswerId(answer);
}

void TerminalUi::ShowHelp(const std::string& text) {
  MessageBoxView view(text, kHelpCaption, MB_OK);
  bool closed = false;
  LayerScope scope(*this, Layer{nullptr, &view, nullptr});
  Loop([&] { return closed; }, [&](const Key& key) { closed = !view.HandleKey(key).empty(); });
}

int TerminalUi::RunModal(platform::Dialog& dialog) {
  if (!EnsureScreen()) return fallback_->RunModal(dialog);
  dialog.SetModal(true);
  DialogView view(dialog);
  {
    // On the stack before the window exists: messages of its
    // initialisation are shown over what is below (the dialog itself is
    // drawn once it is visible).
    LayerScope scope(*this, Layer{&view, nullptr, nullptr});
    dialog.Create();
    if (!dialog.IsEnded()) dialog.ShowWindow(true);
    Loop([&] { return dialog.IsEnded(); },
         [&](const Key& key) {
           switch (view.HandleKey(key, grid_)) {
             case DialogView::Outcome::kShowHelp:
               ShowHelp(view.HelpText(mvhost::ToolTipsOf(&dialog)));
               break;
             case DialogView::Outcome::kRefused:
               screen_.Beep();
               break;
             case DialogView::Outcome::kDone:
               break;
           }
         });
    if (!dialog.IsEnded()) {
      // The terminal hung up: the dialog is cancelled the way nobody's
      // answer would.
      dialog.UserKey(platform::kVkEscape, 0);
      if (!dialog.IsEnded()) dialog.EndDialog(IDCANCEL);
    }
  }
  transcript_.Add(platform::UiTranscript::DialogEnded(dialog));
  Paint();
  return dialog.Result();
}

bool TerminalUi::GetSaveFileName(platform::SaveFileRequest& request) {
  if (!EnsureScreen()) return fallback_->GetSaveFileName(request);
  SaveAsView view(request);
  SaveAsView::Outcome outcome = SaveAsView::Outcome::kContinue;
  {
    LayerScope scope(*this, Layer{nullptr, nullptr, &view});
    Loop([&] { return outcome != SaveAsView::Outcome::kContinue; },
         [&](const Key& key) { outcome = view.HandleKey(key); });
  }
  bool confirmed = outcome == SaveAsView::Outcome::kConfirmed;
  if (confirmed) request.chosenPath = view.ChosenPath();
  transcript_.Add(platform::UiTranscript::SaveAs(request, confirmed));
  Paint();
  return confirmed;
}

void TerminalUi::ModelessChanged(platform::Dialog& dialog) {
  if (&dialog == lastReported_ && dialog.IsVisible() == lastVisible_ &&
      dialog.IsEnded() == lastEnded_) {
    if (throttle_.Due() && lastVisible_) Paint();
    return;
  }
  ModelessStateChanged(dialog);
}

void TerminalUi::ModelessStateChanged(platform::Dialog& dialog) {
  lastReported_ = &dialog;
  lastVisible_ = dialog.IsVisible();
  lastEnded_ = dialog.IsEnded();
  transcript_.ModelessChanged(dialog);
  bool known = std::any_of(modeless_.begin(), modeless_.end(),
                           [&](const auto& view) { return &view->Model() == &dialog; });
  if (!known) modeless_.push_back(std::make_unique<DialogView>(dialog));
  if (dialog.IsVisible() && !EnsureScreen()) return;
  Paint();
}

void TerminalUi::ModelessDestroyed(platform::Dialog& dialog) {
  transcript_.ModelessDestroyed(dialog);
  modeless_.erase(std::remove_if(modeless_.begin(), modeless_.end(),
                                 [&](const auto& view) { return &view->Model() == &dialog; }),
                  modeless_.end());
  if (lastReported_ == &dialog) lastReported_ = nullptr;
  Paint();
}

void TerminalUi::BeginWaitCursor() {
  ++waitCursor_;
  Paint();
}

void TerminalUi::EndWaitCursor() {
  if (waitCursor_ > 0) --waitCursor_;
  Paint();
}

std::unique_ptr<platform::UserInterface> MakeTerminalUi() {
  std::string why;
  if (!TerminalScreen::CanDrive(&why)) {
    std::fprintf(stderr, "taxlink: the terminal front end cannot start: %s\n", why.c_str());
    return nullptr;
  }
  return std::make_unique<TerminalUi>(platform::UiTranscriptPathFromEnvironment());
}

}  // namespace terminal
