#ifndef TAXLINK_TERMINAL_SAVEASVIEW_H_
#define TAXLINK_TERMINAL_SAVEASVIEW_H_

#include <cstddef>
#include <string>
#include <vector>

#include "platform/dialog/UserInterface.h"
#include "terminal/CellGrid.h"
#include "terminal/EditBuffer.h"
#include "terminal/Key.h"

namespace terminal {

// The save-as dialog in a terminal: the folder with its listing (".." to go
// up, sub-folders, files that match the filter, the drives) and a file name
// field. What it refuses and where it starts follow platform/dialog/SaveAsRules.h,
// as in every front end.
// Windows paths in Shift_JIS throughout; the listing reads the folder the
// drive map gives it. The name field may also hold a folder (opened), a
// pattern with * or ? (becomes the filter) or a whole path.
class SaveAsView {
 public:
  struct Entry {
    std::string name;  // Shift_JIS; ".." for the parent, "D:\\" for a drive
    bool folder = false;
    bool drive = false;  // another drive's root, listed after the files
  };
  enum class Outcome { kContinue, kConfirmed, kCancelled };

  explicit SaveAsView(const platform::SaveFileRequest& request);

  void Paint(CellGrid& grid);
  std::wstring HelpLine() const;
  Outcome HandleKey(const Key& key);

  // The folder shown (ending in a backslash), its entries, and the path
  // chosen when the outcome was kConfirmed.
  const std::string& Folder() const { return folder_; }
  const std::vector<Entry>& Entries() const { return entries_; }
  const std::string& ChosenPath() const { return chosen_; }
  const std::string& Name() const { return name_.text; }

 private:
  void Open(const std::string& folder);
  Outcome Choose(const std::string& text);
  void Select(std::size_t index);
  Outcome ListKey(const Key& key);
  Outcome NameKey(const Key& key);

  std::string title_;
  std::string filterName_;
  std::string patterns_;  // "*.xml;*.txt"
  platform::SaveFileRequest request_;
  std::string folder_;
  std::vector<Entry> entries_;
  std::size_t selected_ = 0;
  std::size_t top_ = 0;
  int listRows_ = 10;
  bool listFocused_ = false;
  EditBuffer name_;
  int nameScroll_ = 0;
  std::wstring status_;
  std::string chosen_;
};

}  // namespace terminal

#endif  // TAXLINK_TERMINAL_SAVEASVIEW_H_
