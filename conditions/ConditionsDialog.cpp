#include "conditions/ConditionsDialog.h"

#include <cstdlib>
#include <cstring>

#include "conditions/FolderLevels.h"
#include "conditions/MonthRangeCheck.h"
#include "conditions/PathText.h"
#include "conditions/RememberedPathFile.h"
#include "conditions/UsableDrive.h"
#include "host/ClFileMgr.h"
#include "platform/dialog/UserInterface.h"
#include "platform/ui/FrontEnd.h"
#include "platform/winfs/WinFileSystem.h"
#include "resources/Caption.h"
#include "resources/ConditionsDialogTemplate.h"
#include "resources/Edition.h"
#include "resources/Texts.h"

namespace taxlink {

namespace {

constexpr uint32_t kRefusalStyle = MB_ICONEXCLAMATION | MB_OK;
constexpr uint32_t kQuestionStyle = MB_ICONQUESTION | MB_YESNO;

constexpr const auto& kPastResultsRefused = texts::kPastResultsRefused;
constexpr const auto& kExemptRefused = texts::kExemptRefused;
constexpr const auto& kEndsApplication = texts::kEndsApplication;
constexpr const auto& kCancelled = texts::kAggregationCancelled;
constexpr const auto& kMonthRangeWrong = texts::kMonthRangeWrong;
constexpr const auto& kNoPath = texts::kNoOutputPath;
constexpr const auto& kBadCharacters = texts::kOutputPathBadCharacter;
constexpr const auto& kBadDrive = texts::kBadDrive;
constexpr const auto& kNoFileName = texts::kNoFileName;
constexpr const auto& kCreateFolder = texts::kCreateFolderQuestion;
constexpr const auto& kCreateFolderFailed = texts::kCreateFolderFailed;
constexpr const auto& kOverwrite = texts::kOverwriteQuestion;
// A path longer than the program's path buffers, typed or chosen.
constexpr const auto& kPathTooLong = texts::kOutputPathTooLong;
// A path the host fixed that is too long: nobody can correct it here.
constexpr const auto& kHostPathTooLong = texts::kHostOutputPathTooLong;
// A drive letter without a root: no folder can be created there.
constexpr const auto& kNoSuchDrive = texts::kNoSuchDrive;

constexpr const auto& kFixedOutputCaption = texts::kFixedOutputCaption;
constexpr char kDefaultFileName[] = "*.xml";

constexpr char kBrowseExtension[] = "XML";
constexpr char kBrowseFilter[] = "Xml Files (*.xml)|*.xml||";
constexpr const auto& kBrowseTitle = texts::kBrowseTitle;
// OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST
constexpr uint32_t kBrowseFlags = 0x180C;

constexpr const auto& kSavedValuesTip = texts::kSavedReturnTip;

// Display text i is bound to control kDisplayControls[i].
constexpr int kDisplayControls[5] = {kIdcCompanyName, kIdcPeriodText, kIdcFilingClass,
                                     kIdcFourthRowLabel, kIdcFourthRowValue};

// Copies text into a 261-byte path buffer; false (buffer untouched) when it
// does not fit.
bool CopyPath(const char* text, char* buffer) {
  std::size_t length = std::strlen(text);
  if (length > kPathBufferSize - 1) return false;
  std::memcpy(buffer, text, length + 1);
  return true;
}

}  // namespace

ConditionsDialog::ConditionsDialog(HWND parent)
    : platform::Dialog(ConditionsDialogTemplate(), parent) {}

ConditionsDialog::~ConditionsDialog() = default;

int ConditionsDialog::DoModal() { return platform::Ui().RunModal(*this); }

RunConditions ConditionsDialog::GetRunConditions() const {
  RunConditions conditions;
  conditions.startMonth = std::atoi(startMonthText_.c_str());
  conditions.endMonth = std::atoi(endMonthText_.c_str());
  conditions.outputPath = outputPathText_.substr(0, kMaxOutputPath);
  conditions.aggregationMethod = aggregationMethod_;
  return conditions;
}

void ConditionsDialog::DoDataExchange(bool saveAndValidate) {
  if (saveAndValidate) {
    for (int i = 0; i < 5; ++i) displayTexts[i] = GetItemText(kDisplayControls[i]);
    startMonthText_ = GetItemText(kIdcStartMonth);
    endMonthText_ = GetItemText(kIdcEndMonth);
    outputPathText_ = GetItemText(kIdcOutputPath);
    if (IsChecked(kIdcByJournals)) {
      aggregationMethod_ = kByJournals;
    } else if (IsChecked(kIdcSavedReturnValues)) {
      aggregationMethod_ = kSavedReturnValues;
    } else {
      aggregationMethod_ = -1;
    }
    return;
  }
  for (int i = 0; i < 5; ++i) SetItemText(kDisplayControls[i], displayTexts[i]);
  SetItemText(kIdcStartMonth, startMonthText_);
  SetItemText(kIdcEndMonth, endMonthText_);
  SetItemText(kIdcOutputPath, outputPathText_);
  CheckRadioButton(
      kIdcByJournals, kIdcSavedReturnValues,
      aggregationMethod_ == kSavedReturnValues ? kIdcSavedReturnValues : kIdcByJournals);
}

bool ConditionsDialog::OnInitDialog() {
  // 1. Controls from the state.
  UpdateData(false);

  // 2. Data sets that cannot be linked are refused; the dialog ends as
  // cancelled once initialisation is over.
  if ((displayTexts[3].empty() && displayTexts[4].empty()) || pastResultsData == 1) {
    std::string message = pastResultsData == 1 ? kPastResultsRefused : kExemptRefused;
    message += kEndsApplication;
    platform::Ui().MessageBox(Handle(), message, kMessageCaption, kRefusalStyle);
    EndDialog(kConditionsCancelled);
  }

  // 3. Typing limits.
  LimitText(kIdcOutputPath, 255);
  LimitText(kIdcStartMonth, 2);
  LimitText(kIdcEndMonth, 2);

  // 4. The remembered record; months for the saved-values method always
  // come from the period.
  rememberedPath_.clear();
  char localPath[kPathBufferSize] = {};
  int16_t months[2] = {0, 0};
  int32_t method = kByJournals;
  if (ReadRememberedOutputPath(&months[0], &months[1], localPath, &method)) {
    rememberedPath_ = localPath;
    if (method != kSavedReturnValues) method = kByJournals;
    if (method == kSavedReturnValues) {
      months[0] = periodMonths[0];
      months[1] = static_cast<int16_t>(periodMonths[1] % 100);
    }
  } else {
    months[0] = periodMonths[0];
    months[1] = static_cast<int16_t>(periodMonths[1] % 100);
    method = kByJournals;
  }
  journalMonths_[0] = months[0];
  journalMonths_[1] = months[1];

  // 5. Without saved values only journals can be aggregated.
  if (savedReturnUsable == 0) {
    method = kByJournals;
    EnableItem(kIdcByJournals, false);
    EnableItem(kIdcSavedReturnValues, false);
  }

  // 6. Default path: the host's output folder, else the temporary folder.
  if (localPath[0] == '\0') {
    const char* appFolder = ClFileMgr::Inst()->GetAppFolderPath(0);
    if (appFolder != nullptr) CopyPath(appFolder, localPath);
    if (localPath[0] == '\0') {
      uint32_t length = platform::GetTempPath(kPathBufferSize, localPath);
      if (length >= kPathBufferSize) localPath[0] = '\0';
      EnsureTrailingSeparator(localPath, kPathBufferSize);
    }
    if (std::strlen(localPath) + std::strlen(kDefaultFileName) < kPathBufferSize) {
      std::strcat(localPath, kDefaultFileName);
    }
  }

  // 7. A path fixed by the host cannot be changed; one too long for the
  // run's buffers ends the dialog, as nothing here could correct it.
  if (!hostOutputPath.empty() && hostOutputPath.size() > kMaxOutputPath && !IsEnded()) {
    platform::Ui().MessageBox(Handle(), kHostPathTooLong, kMessageCaption, kRefusalStyle);
    EndDialog(kConditionsCancelled);
  }
  if (!hostOutputPath.empty()) {
    outputPathText_ = hostOutputPath;
    EnableItem(kIdcBrowseButton, false);
    EnableItem(kIdcOutputPath, false);
    SetItemText(kIdcOutputGroup, kFixedOutputCaption);
    pathFixedByHost_ = 1;
  } else {
    outputPathText_ = localPath;
    pathFixedByHost_ = 0;
  }

  // 8. The method and its months.
  if (method == kSavedReturnValues) {
    ShowMonths(savedMonths);
    CheckRadioButton(kIdcByJournals, kIdcSavedReturnValues, kIdcSavedReturnValues);
    SetFocusTo(kIdcSavedReturnValues);
    aggregationMethod_ = kSavedReturnValues;
    EnableItem(kIdcStartMonth, false);
    EnableItem(kIdcEndMonth, false);
  } else {
    ShowMonths(journalMonths_);
    CheckRadioButton(kIdcByJournals, kIdcSavedReturnValues, kIdcByJournals);
    // With the method fixed the focus goes to the start month instead, its
    // text selected as the keyboard would leave it, so typing replaces it.
    if (IsItemEnabled(kIdcByJournals)) {
      SetFocusTo(kIdcByJournals);
    } else {
      GotoDlgCtrl(kIdcStartMonth);
    }
    aggregationMethod_ = kByJournals;
  }

  // 9. The tooltip explaining the saved-values method (standard taxation).
  if (filingClassCode == 2) {
    static const TOOLTIPMSG_TABLE kToolTips[1] = {{kIdcSavedValuesTip, kSavedValuesTip, 1}};
    toolTips_.Init(this, kToolTips, 1);
  }

  // 10. The focus has been set here.
  UpdateData(false);
  return false;
}

void ConditionsDialog::ShowMonths(const int16_t months[2]) {
  startMonthText_ = std::to_string(months[0]);
  endMonthText_ = std::to_string(months[1]);
}

void ConditionsDialog::OnCommand(int id) {
  switch (id) {
    case kIdcRunButton:
      OnRun();
      return;
    case kIdcBrowseButton:
      Browse();
      return;
    case kIdcByJournals:
    case kIdcSavedReturnValues:
      SwitchMethod(id);
      return;
    case kIdcCancelButton:
      Cancel();
      return;
    default:
      platform::Dialog::OnCommand(id);
  }
}

void ConditionsDialog::SwitchMethod(int clickedId) {
  UpdateData(true);
  if (!IsChecked(clickedId)) return;
  if (clickedId == kIdcByJournals) {
    aggregationMethod_ = kByJournals;
    ShowMonths(journalMonths_);
    EnableItem(kIdcStartMonth, true);
    EnableItem(kIdcEndMonth, true);
  } else {
    aggregationMethod_ = kSavedReturnValues;
    ShowMonths(savedMonths);
    EnableItem(kIdcStartMonth, false);
    EnableItem(kIdcEndMonth, false);
  }
  UpdateData(false);
}

bool ConditionsDialog::PreTranslateKeyDown(int virtualKey, unsigned modifiers) {
  if ((modifiers & (platform::kModShift | platform::kModCtrl | platform::kModAlt)) != 0) {
    return false;
  }
  if (virtualKey == platform::kVkF12) {
    OnRun();
    return true;
  }
  if (virtualKey != platform::kVkReturn) return false;
  switch (GetFocusId()) {
    case kIdcStartMonth:
      SetFocusTo(kIdcEndMonth);
      SetSel(kIdcEndMonth, 0, -1);
      ScrollCaret(kIdcEndMonth);
      return true;
    case kIdcEndMonth:
      if (IsItemEnabled(kIdcBrowseButton)) {
        SetFocusTo(kIdcOutputPath);
        SetSel(kIdcOutputPath, 0, -1);
        ScrollCaret(kIdcOutputPath);
      } else {
        SetFocusTo(kIdcRunButton);
      }
      return true;
    case kIdcOutputPath:
      SetFocusTo(IsItemEnabled(kIdcBrowseButton) ? kIdcBrowseButton : kIdcRunButton);
      return true;
    case kIdcBrowseButton:
      Browse();
      return true;
    case kIdcRunButton:
      OnRun();
      return true;
    default:
      return false;
  }
}

void ConditionsDialog::Browse() {
  UpdateData(true);
  std::string folder = FolderPart(outputPathText_.c_str());
  std::string name = FileNamePart(outputPathText_.c_str());
  if (folder.empty()) {
    folder = FolderPartAtColon(outputPathText_.c_str());
    name = FileNamePartAtColon(outputPathText_.c_str());
  }
  platform::SaveFileRequest request;
  request.owner = Handle();
  request.defaultExtension = kBrowseExtension;
  request.fileName = name;
  request.initialFolder = folder;
  request.filter = kBrowseFilter;
  request.title = kBrowseTitle;
  request.flags = kBrowseFlags;
  // The run takes a path of up to 260 bytes.
  request.maxFile = kPathBufferSize;
  if (platform::Ui().GetSaveFileName(request)) {
    outputPathText_ = request.chosenPath;
    UpdateData(false);
  }
  SetFocusTo(kIdcRunButton);
}

void ConditionsDialog::Cancel() {
  platform::Ui().MessageBox(Handle(), kCancelled, kMessageCaption, MB_ICONINFORMATION | MB_OK);
  EndDialog(kConditionsCancelled);
}

void ConditionsDialog::OnCancel() { Cancel(); }

// Whatever ends the dialog as a run goes through the checks.
void ConditionsDialog::OnOK() { OnRun(); }

void ConditionsDialog::Refuse(const char* message, int fieldId) {
  platform::Ui().MessageBox(Handle(), message, kMessageCaption, kRefusalStyle);
  SetFocusTo(fieldId);
  SetSel(fieldId, 0, -1);
  ScrollCaret(fieldId);
}

int ConditionsDialog::Ask(const char* question) {
  return platform::Ui().MessageBox(Handle(), question, kMessageCaption, kQuestionStyle);
}

void ConditionsDialog::OnRun() {
  UpdateData(true);
  const int16_t start = static_cast<int16_t>(std::atoi(startMonthText_.c_str()));
  const int16_t end = static_cast<int16_t>(std::atoi(endMonthText_.c_str()));
  switch (FindMonthRangeFault(start, end, periodMonths[0], periodMonths[1])) {
    case MonthField::kStart:
      Refuse(kMonthRangeWrong, kIdcStartMonth);
      return;
    case MonthField::kEnd:
      Refuse(kMonthRangeWrong, kIdcEndMonth);
      return;
    case MonthField::kNone:
      break;
  }

  const char* path = outputPathText_.c_str();
  if (outputPathText_.empty()) {
    Refuse(kNoPath, kIdcOutputPath);
    return;
  }
  if (outputPathText_.size() > kMaxOutputPath) {
    Refuse(kPathTooLong, kIdcOutputPath);
    return;
  }
  if (!IsValidPathText(path)) {
    Refuse(kBadCharacters, kIdcOutputPath);
    return;
  }
  if (!IsUsableDrive(path)) {
    Refuse(kBadDrive, kIdcOutputPath);
    return;
  }
  if (FileNamePart(path).empty()) {
    Refuse(kNoFileName, kIdcOutputPath);
    return;
  }
  if (!DriveExists(path)) {
    Refuse(kNoSuchDrive, kIdcOutputPath);
    return;
  }
  std::string folder = FolderPart(path);
  if (!folder.empty() && platform::Access(folder.c_str(), kAccessExists) != 0) {
    if (Ask(kCreateFolder) != IDYES) {
      SetFocusTo(kIdcOutputPath);
      SetSel(kIdcOutputPath, 0, -1);
      ScrollCaret(kIdcOutputPath);
      return;
    }
    if (!CreateFolderLevels(folder.c_str())) {
      Refuse(kCreateFolderFailed, kIdcOutputPath);
      return;
    }
  }
  if (pathFixedByHost_ == 0) {
    platform::FileStatus status;
    if (platform::GetFileStatus(path, &status)) {
      if (status.isDirectory) {
        Refuse(kNoFileName, kIdcOutputPath);
        return;
      }
      if (Ask(kOverwrite) != IDYES) {
        SetFocusTo(kIdcOutputPath);
        SetSel(kIdcOutputPath, 0, -1);
        ScrollCaret(kIdcOutputPath);
        return;
      }
    }
  }
  EndDialog(kConditionsRun);
}

bool ConditionsDialog::RememberedKey(std::string* key) const {
  return RememberedPathFile::FormatKey(userId, selectedNo1, selectedNo2, key);
}

bool ConditionsDialog::RememberedFolder(std::string* folder) const {
  const char* path = ClFileMgr::Inst()->GetAppFolderPath(1);
  if (path == nullptr || path[0] == '\0') return false;
  *folder = path;
  return true;
}

bool ConditionsDialog::ReadRememberedOutputPath(int16_t* startMonth, int16_t* endMonth,
                                                char* pathBuffer, int32_t* method) {
  std::string key;
  std::string folder;
  if (!RememberedKey(&key) || !RememberedFolder(&folder)) return false;
  RememberedPathFile file(folder, CurrentEdition().rememberedPathFile);
  RememberedRecord record;
  if (!file.Read(key, &record)) return false;
  *startMonth = record.startMonth;
  *endMonth = record.endMonth;
  CopyPath(record.path.c_str(), pathBuffer);
  *method = record.method;
  return true;
}

bool ConditionsDialog::SaveRememberedOutputPath(int16_t startMonth, int16_t endMonth,
                                                const char* pathOrNull, int32_t method) {
  std::string key;
  std::string folder;
  if (!RememberedKey(&key) || !RememberedFolder(&folder)) return false;
  RememberedPathFile file(folder, CurrentEdition().rememberedPathFile);
  RememberedRecord record;
  record.method = method;
  record.startMonth = startMonth;
  record.endMonth = endMonth;
  record.path = pathOrNull != nullptr ? pathOrNull : rememberedPath_;
  return file.Save(key, record);
}

}  // namespace taxlink
