#ifndef TAXLINK_DESKTOP_DIALOGWINDOW_H_
#define TAXLINK_DESKTOP_DIALOGWINDOW_H_

#include <QDialog>

#include "platform/dialog/Dialog.h"

#include <string>
#include <vector>

#include "desktop/DialogMetrics.h"

class QEventLoop;

namespace desktop {

// The window of one dialog of the model: a widget per control, placed from
// the template in dialog units. It only renders: every key and click that
// means something to the dialog becomes a User* operation of the model, and
// after each the widgets are brought up to the model's state.
class DialogWindow : public QDialog {
 public:
  DialogWindow(platform::Dialog& dialog, QWidget* owner);
  ~DialogWindow() override;

  // Modal: shows the window and processes events until the model ends.
  void RunUntilEnded();
  // Modeless: shows or hides the window as the model says.
  void SyncVisibility();
  // Every widget from the model: caption, texts, enabled, checked, focus,
  // selection and progress bars.
  void Refresh();

  platform::Dialog& Model() const { return dialog_; }
  const DialogMetrics& Metrics() const { return metrics_; }
  // The widget of control id; null when there is none.
  QWidget* ControlWidget(int id) const;

  // Qt's own ways of ending a dialog go through the model's cancel (its
  // message, its result) or are ignored: only the model ends the window.
  void reject() override;
  void accept() override {}
  void done(int) override {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  struct Item {
    int id = -1;
    QWidget* widget = nullptr;
    std::string shownText;   // the model text the widget shows
    unsigned selSerial = 0;  // the model selection last applied
  };

  void Build();
  QWidget* MakeWidget(std::size_t index);
  int IdOf(const QObject* widget) const;
  // A key for the model (Tab, Enter, Esc, F12, mnemonics); false when the
  // widget should have it.
  bool TakeKey(const QKeyEvent* key, const QObject* watched, int* virtualKey,
               unsigned* modifiers) const;
  void Typed(std::size_t index);
  void Clicked(std::size_t index);
  void AfterAction();
  void ApplySelection(Item& item, const platform::Control& control);
  // Cancels a model that is still open the way Esc does (its message), or
  // ends it as cancelled when it ignores Esc.
  void CancelThroughModel();

  platform::Dialog& dialog_;
  DialogMetrics metrics_;
  std::vector<Item> items_;  // one per control, in resource order
  QEventLoop* loop_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace desktop

#endif  // TAXLINK_DESKTOP_DIALOGWINDOW_H_
