#include "terminal/SaveAsView.h"

#include <fnmatch.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/dialog/SaveAsRules.h"
#include "platform/dialog/UserInterface.h"
#include "platform/text/Encoding.h"
#include "platform/text/Mbcs.h"
#include "platform/winfs/WinFileSystem.h"
#include "resources/Texts.h"
#include "terminal/CellText.h"
#include "terminal/EditField.h"
#include "terminal/SizeNotice.h"

namespace terminal {
namespace {

constexpr int kMaxCols = 76;
constexpr int kMaxRows = 20;

bool EndsWithSeparator(const std::string& path) {
  return !path.empty() && path.back() == '\\' &&
         !platform::IsTrailAt(path.c_str(), path.size() - 1);
}

std::string WithSeparator(std::string path) {
  if (!EndsWithSeparator(path)) path.push_back('\\');
  return path;
}

// The offset after the last backslash that is not a trail byte (0 if none).
std::size_t AfterLastSeparator(const std::string& path) {
  std::size_t after = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '\\' && !platform::IsTrailAt(path.c_str(), i)) after = i + 1;
  }
  return after;
}

bool HasWildcard(const std::string& text) { return text.find_first_of("*?") != std::string::npos; }

bool IsAbsolute(const std::string& path) {
  return (path.size() >= 2 && path[1] == ':') || path.rfind("\\\\", 0) == 0;
}

// A message of the save-as rules on one line of the view.
std::wstring StatusOf(const char* message) {
  std::wstring text = ToWide(message);
  std::wstring line;
  for (wchar_t c : text) {
    if (c != L'\n') {
      line.push_back(c);
    } else if (!line.empty() && line.back() != L' ') {
      line.push_back(L' ');
    }
  }
  return line;
}

bool MatchesAny(const std::string& utf8Name, const std::string& patterns) {
  std::size_t start = 0;
  while (start <= patterns.size()) {
    std::size_t end = patterns.find(';', start);
    if (end == std::string::npos) end = patterns.size();
    std::string pattern = platform::Cp932ToUtf8(patterns.substr(start, end - start));
    if (!pattern.empty() && fnmatch(pattern.c_str(), utf8Name.c_str(), FNM_CASEFOLD) == 0) {
      return true;
    }
    start = end + 1;
  }
  return false;
}

// The tail of text that fits, marked with ".." when cut.
std::wstring Tail(const std::wstring& text, int cells) {
  if (TextWidth(text) <= cells) return text;
  std::wstring tail;
  int used = 2;
  for (auto it = text.rbegin(); it != text.rend(); ++it) {
    used += CellWidth(*it);
    if (used > cells) break;
    tail.insert(tail.begin(), *it);
  }
  return L".." + tail;
}

}  // namespace

SaveAsView::SaveAsView(const platform::SaveFileRequest& request)
    : title_(request.title), request_(request) {
  // "Xml Files (*.xml)|*.xml||": the first description and its patterns.
  std::size_t bar = request.filter.find('|');
  filterName_ = request.filter.substr(0, bar);
  if (bar != std::string::npos) {
    std::size_t end = request.filter.find('|', bar + 1);
    patterns_ = request.filter.substr(bar + 1, end == std::string::npos ? end : end - bar - 1);
  }
  if (patterns_.empty()) patterns_ = "*";
  name_.text = request.fileName;
  name_.anchor = 0;
  name_.caret = name_.text.size();
  // The nearest folder that exists, else the current one.
  std::string folder = platform::NearestExistingFolder(request.initialFolder);
  if (folder.empty()) {
    char current[261] = {};
    folder = platform::Getcwd(current, sizeof current) != nullptr ? current : "C:\\";
  }
  Open(folder);
}

void SaveAsView::Open(const std::string& folder) {
  folder_ = WithSeparator(folder);
  entries_.clear();
  if (platform::PathSkipRoot(folder_.c_str()) != nullptr &&
      *platform::PathSkipRoot(folder_.c_str()) != '\0') {
    entries_.push_back({"..", true});
  }
  std::vector<Entry> folders;
  std::vector<Entry> files;
  if (std::optional<std::string> posix = platform::ToPosixPath(folder_)) {
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(*posix, error)) {
      std::string utf8 = item.path().filename().string();
      std::string name;
      if (utf8.empty() || utf8[0] == '.' || !platform::TryUtf8ToCp932(utf8, &name)) continue;
      std::error_code kindError;
      if (item.is_directory(kindError)) {
        folders.push_back({name, true});
      } else if (MatchesAny(utf8, patterns_)) {
        files.push_back({name, false});
      }
    }
  }
  auto byName = [](const Entry& a, const Entry& b) { return a.name < b.name; };
  std::sort(folders.begin(), folders.end(), byName);
  std::sort(files.begin(), files.end(), byName);
  entries_.insert(entries_.end(), folders.begin(), folders.end());
  entries_.insert(entries_.end(), files.begin(), files.end());
  for (const std::string& root : platform::DriveRoots()) {
    if (folder_.compare(0, root.size(), root) != 0) entries_.push_back({root, true, true});
  }
  selected_ = 0;
  top_ = 0;
}

void SaveAsView::Select(std::size_t index) {
  if (entries_.empty()) return;
  selected_ = std::min(index, entries_.size() - 1);
  if (selected_ < top_) top_ = selected_;
  std::size_t rows = static_cast<std::size_t>(listRows_ > 0 ? listRows_ : 1);
  if (selected_ >= top_ + rows) top_ = selected_ - rows + 1;
  // Moving onto a file offers its name, as the name field of Windows does.
  if (!entries_[selected_].folder) {
    name_.text = entries_[selected_].name;
    name_.anchor = name_.caret = name_.text.size();
  }
}

SaveAsView::Outcome SaveAsView::Choose(const std::string& text) {
  status_.clear();
  if (text.empty()) {
    status_ = StatusOf(platform::kSaveAsNoFileName);
    return Outcome::kContinue;
  }
  if (HasWildcard(text)) {
    patterns_ = text;
    filterName_ = text;
    Open(folder_);
    return Outcome::kContinue;
  }
  std::string path = IsAbsolute(text) ? text : folder_ + text;
  if (platform::PathIsDirectory(path.c_str())) {
    Open(path);
    name_ = EditBuffer();
    return Outcome::kContinue;
  }
  path = platform::WithDefaultExtension(request_, path);
  if (const char* refusal = platform::SaveAsRefusal(request_, path)) {
    status_ = StatusOf(refusal);
    return Outcome::kContinue;
  }
  chosen_ = path;
  return Outcome::kConfirmed;
}

SaveAsView::Outcome SaveAsView::HandleKey(const Key& key) {
  switch (key.kind) {
    case Key::kEscape:
      return Outcome::kCancelled;
    case Key::kTab:
    case Key::kBackTab:
      listFocused_ = !listFocused_;
      return Outcome::kContinue;
    default:
      return listFocused_ ? ListKey(key) : NameKey(key);
  }
}

SaveAsView::Outcome SaveAsView::ListKey(const Key& key) {
  std::size_t page = static_cast<std::size_t>(listRows_ > 1 ? listRows_ - 1 : 1);
  switch (key.kind) {
    case Key::kUp:
      Select(selected_ > 0 ? selected_ - 1 : 0);
      break;
    case Key::kDown:
      Select(selected_ + 1);
      break;
    case Key::kPageUp:
      Select(selected_ > page ? selected_ - page : 0);
      break;
    case Key::kPageDown:
      Select(selected_ + page);
      break;
    case Key::kHome:
      Select(0);
      break;
    case Key::kEnd:
      Select(entries_.empty() ? 0 : entries_.size() - 1);
      break;
    case Key::kBackspace:
      if (!entries_.empty() && entries_.front().name == "..") {
        Open(folder_.substr(0, AfterLastSeparator(folder_.substr(0, folder_.size() - 1))));
      }
      break;
    case Key::kEnter: {
      if (entries_.empty()) return Choose(name_.text);
      Entry entry = entries_[selected_];
      if (entry.name == "..") {
        Open(folder_.substr(0, AfterLastSeparator(folder_.substr(0, folder_.size() - 1))));
      } else if (entry.drive) {
        Open(entry.name);
      } else if (entry.folder) {
        Open(folder_ + entry.name);
      } else {
        return Choose(entry.name);
      }
      break;
    }
    default:
      break;
  }
  return Outcome::kContinue;
}

SaveAsView::Outcome SaveAsView::NameKey(const Key& key) {
  if (key.kind == Key::kEnter) return Choose(name_.text);
  EditBuffer after;
  if (EditByKey(name_, key, &after) &&
      (request_.maxFile == 0 || after.text.size() < request_.maxFile ||
       after.text.size() <= name_.text.size())) {
    name_ = after;
  }
  return Outcome::kContinue;
}

void SaveAsView::Paint(CellGrid& grid) {
  int cols = std::min(grid.Cols() - 2, kMaxCols);
  int rows = std::min(grid.Rows() - 1, kMaxRows);
  if (cols < 20 || rows < 8) {
    PaintSizeNotice(grid, 22, 9);
    return;
  }
  CellRect box{(grid.Rows() - 1 - rows) / 2, (grid.Cols() - cols) / 2, rows, cols};
  grid.Fill(box, 0);
  grid.Frame(box, ToWide(title_), kBold);
  int left = box.col + 2;
  int inner = cols - 4;
  std::wstring folderLabel = taxlink::texts::kTerminalFolderLabel;
  int labelCells = TextWidth(folderLabel);
  grid.Put(box.row + 1, left, folderLabel, 0);
  grid.Put(box.row + 1, left + labelCells, Tail(ToWide(folder_), inner - labelCells), kBold);

  CellRect list{box.row + 2, left, rows - 6, inner};
  listRows_ = list.rows - 2;
  grid.Frame(list, L"", listFocused_ ? kBold : 0);
  if (selected_ < top_) top_ = selected_;
  for (int i = 0; i < listRows_; ++i) {
    std::size_t index = top_ + static_cast<std::size_t>(i);
    if (index >= entries_.size()) break;
    const Entry& entry = entries_[index];
    std::wstring shown = ToWide(entry.name) + (entry.folder && !entry.drive ? L"\\" : L"");
    if (entry.drive) shown = L"[" + shown + taxlink::texts::kTerminalDriveSuffix;
    unsigned look = index == selected_ ? (listFocused_ ? kReverse : kBold) : 0;
    grid.Fill({list.row + 1 + i, list.col + 1, 1, list.cols - 2}, look);
    grid.Put(list.row + 1 + i, list.col + 2, shown, look, list.cols - 4);
  }
  if (entries_.empty())
    grid.Put(list.row + 1, list.col + 2, taxlink::texts::kTerminalNoFiles, kDim);
  // Entries out of view are announced in the list's frame.
  if (top_ > 0)
    grid.Put(
        list.row, list.col + 2,
        taxlink::texts::kTerminalMoreAbove + std::to_wstring(top_) + taxlink::texts::kTerminalItems,
        kBold);
  std::size_t shownEnd = top_ + static_cast<std::size_t>(listRows_ > 0 ? listRows_ : 0);
  if (shownEnd < entries_.size()) {
    grid.Put(list.row + list.rows - 1, list.col + 2,
             taxlink::texts::kTerminalMoreBelow + std::to_wstring(entries_.size() - shownEnd) +
                 taxlink::texts::kTerminalItemsPgDn,
             kBold);
  }

  std::wstring nameLabel = taxlink::texts::kTerminalFileNameLabel;
  int nameCells = TextWidth(nameLabel);
  int nameRow = box.row + rows - 4;
  grid.Put(nameRow, left, nameLabel, 0);
  EditFieldLook look;
  look.row = nameRow;
  look.col = left + nameCells;
  look.cols = inner - nameCells;
  look.focused = !listFocused_;
  PaintEditField(grid, name_, look, &nameScroll_);
  grid.Put(box.row + rows - 3, left, taxlink::texts::kTerminalFileTypeLabel + ToWide(filterName_),
           0, inner);
  grid.Put(box.row + rows - 2, left, status_, kBold, inner);
}

std::wstring SaveAsView::HelpLine() const {
  return listFocused_ ? taxlink::texts::kTerminalListHelp : taxlink::texts::kTerminalNameHelp;
}

}  // namespace terminal
