#include "desktop/DesktopUi.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

#include "desktop/DialogMetrics.h"
#include "desktop/DialogWindow.h"
#include "desktop/MessageBoxWindow.h"
#include "desktop/SaveAsWindow.h"
#include "platform/dialog/Dialog.h"
#include "platform/ui/FrontEnd.h"
#include "resources/Texts.h"

namespace desktop {
namespace {

constexpr const auto& kCaption = taxlink::texts::kMessageCaption;

// While the wait cursor is on, the windows a person must answer show the
// arrow.
class ArrowCursorScope {
 public:
  explicit ArrowCursorScope(bool waiting) : active_(waiting) {
    if (active_) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~ArrowCursorScope() {
    if (active_) QGuiApplication::restoreOverrideCursor();
  }
  ArrowCursorScope(const ArrowCursorScope&) = delete;
  ArrowCursorScope& operator=(const ArrowCursorScope&) = delete;

 private:
  bool active_;
};

int& ArgumentCount() {
  static int argc = 1;
  return argc;
}

char** Arguments() {
  static char name[] = "TaxLink";
  static char* argv[] = {name, nullptr};
  return argv;
}

// Qt ends the process when its platform cannot start (no display server),
// so a child process tries first.
bool CanOpenDisplay() {
  std::fflush(nullptr);
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDERR_FILENO);
    QGuiApplication probe(ArgumentCount(), Arguments());
    _exit(0);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

QtMessageHandler previousHandler = nullptr;

// Qt says so and ends the process with status 1 when the connection to the
// display server breaks; the program is told first, so that the run fails
// with its reason and the host still hears of it.
void WatchForLostDisplay(QtMsgType type, const QMessageLogContext& context,
                         const QString& message) {
  if (message.contains(QLatin1String("connection broke"))) {
    platform::FrontEndLost("the desktop front end lost its display (the display server ended)");
  }
  if (previousHandler != nullptr) previousHandler(type, context, message);
}

// Qt's own texts (the file dialog's menus, columns and tooltips) in
// Japanese, as the rest of the program; Debian's qt6-translations-l10n.
void LoadJapaneseTranslations(QApplication* application) {
  auto* translator = new QTranslator(application);
  if (translator->load(QStringLiteral("qtbase_ja"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
  } else {
    delete translator;
  }
}

}  // namespace

void EnsureApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  previousHandler = qInstallMessageHandler(WatchForLostDisplay);
  // Never destroyed: windows of dialogs owned by static objects may still
  // go away while the process exits.
  auto* application = new QApplication(ArgumentCount(), Arguments());
  // Windows come and go between the run's steps; none of them ends the
  // application (Qt would end the event loops of the dialogs still to come).
  QApplication::setQuitOnLastWindowClosed(false);
  LoadJapaneseTranslations(application);
  // Message boxes and the file dialog in the dialogs' font.
  platform::DialogTemplate reference{};
  reference.fontName = taxlink::texts::kDialogFont;
  reference.fontSize = 9;
  application->setFont(DialogMetrics(reference).Font());
}

std::unique_ptr<platform::UserInterface> MakeDesktopUi() {
  if (QCoreApplication::instance() == nullptr && !CanOpenDisplay()) {
    const char* display = std::getenv("WAYLAND_DISPLAY");
    if (display == nullptr || display[0] == '\0') display = std::getenv("DISPLAY");
    std::fprintf(stderr,
                 "taxlink: the desktop front end cannot open the display \"%s\"; another front end "
                 "takes over\n",
                 display != nullptr ? display : "");
    return nullptr;
  }
  EnsureApplication();
  return std::make_unique<DesktopUi>(platform::UiTranscriptPathFromEnvironment());
}

DesktopUi::DesktopUi(std::string transcriptPath) : transcript_(std::move(transcriptPath)) {}

DesktopUi::~DesktopUi() {
  while (waitCursor_ > 0) EndWaitCursor();
}

QWidget* DesktopUi::OwnerWidget(HWND owner) const {
  DialogWindow* window = WindowOf(owner);
  return window != nullptr && window->isVisible() ? window : nullptr;
}

DialogWindow* DesktopUi::WindowOf(HWND handle) const {
  if (auto found = modal_.find(handle); found != modal_.end()) return found->second;
  if (auto found = modeless_.find(handle); found != modeless_.end()) return found->second.get();
  return nullptr;
}

int DesktopUi::MessageBox(HWND owner, std::string_view text, std::string_view caption,
                          uint32_t style) {
  std::string answer;
  {
    ArrowCursorScope arrow(waitCursor_ > 0);
    answer = RunMessageBox(OwnerWidget(owner), text, caption, style);
  }
  transcript_.Add(platform::UiTranscript::Message(owner, text, caption, style, answer));
  return platform::UiTranscript::AnswerId(answer);
}

int DesktopUi::RunModal(platform::Dialog& dialog) {
  dialog.SetModal(true);
  {
    ArrowCursorScope arrow(waitCursor_ > 0);
    dialog.Create();
    if (!dialog.IsEnded()) {
      dialog.ShowWindow(true);
      DialogWindow window(dialog, OwnerWidget(dialog.Parent()));
      modal_[dialog.Handle()] = &window;
      window.RunUntilEnded();
      modal_.erase(dialog.Handle());
    }
  }
  transcript_.Add(platform::UiTranscript::DialogEnded(dialog));
  // The closed window leaves the screen before the work that follows.
  QCoreApplication::processEvents();
  return dialog.Result();
}

void DesktopUi::UpdateModeless(platform::Dialog& dialog) {
  bool changed = transcript_.ModelessChanged(dialog);
  lastModeless_ = &dialog;
  lastVisible_ = dialog.IsVisible();
  lastEnded_ = dialog.IsEnded();
  std::unique_ptr<DialogWindow>& window = modeless_[dialog.Handle()];
  if (!window) window = std::make_unique<DialogWindow>(dialog, nullptr);
  if (changed) {
    window->SyncVisibility();
    throttle_.Reset();
  }
  window->Refresh();
  ++modelessRepaints_;
  // Paints the window and keeps it answering the window system; what the
  // person types waits, as nothing in this window takes input.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void DesktopUi::ModelessDestroyed(platform::Dialog& dialog) {
  transcript_.ModelessDestroyed(dialog);
  modeless_.erase(dialog.Handle());
  if (lastModeless_ == &dialog) lastModeless_ = nullptr;
}

bool DesktopUi::GetSaveFileName(platform::SaveFileRequest& request) {
  bool confirmed = false;
  {
    ArrowCursorScope arrow(waitCursor_ > 0);
    confirmed =
        RunSaveAsDialog(OwnerWidget(request.owner), request, [this, &request](const char* message) {
          MessageBox(request.owner, message, kCaption, MB_ICONEXCLAMATION | MB_OK);
        });
  }
  transcript_.Add(platform::UiTranscript::SaveAs(request, confirmed));
  return confirmed;
}

void DesktopUi::BeginWaitCursor() {
  ++waitCursor_;
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void DesktopUi::EndWaitCursor() {
  if (waitCursor_ == 0) return;
  --waitCursor_;
  QGuiApplication::restoreOverrideCursor();
}

}  // namespace desktop
