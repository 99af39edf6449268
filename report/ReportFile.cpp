#include "report/ReportFile.h"

#include <string>

#include "platform/File.h"
#include "platform/UserInterface.h"
#include "report/ReportDocument.h"
#include "xml/XmlTextWriter.h"

namespace taxlink {

const char kSystemSectionFailed[] = "システム情報の出力に失敗しました。\n\n出力を続けますか？";
const char kBasicSectionFailed[] = "基本情報の出力に失敗しました。\n\n出力を続けますか？";
const char kDataSectionFailed[] = "連動情報の出力に失敗しました。\n\n出力を続けますか？";
const char kReportFileNotCreated[] = "出力ファイルを作成できませんでした。\n\n%s";
const char kReportFileWriteFailed[] = "出力ファイルへの書き込みに失敗しました。\n\n%s";

namespace {

constexpr char kCaption[] = "消費税";
constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n";
constexpr char kRoot[] = "REPORT";

// True when the user wants to go on after a failed section.
bool AskToContinue(HWND owner, const char* question) {
  return platform::Ui().MessageBox(owner, question, kCaption, MB_ICONWARNING | MB_YESNO) ==
         IDYES;
}

std::string WithPath(const char* format, const char* path) {
  std::string text(format);
  std::string::size_type at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, path);
  return text;
}

}  // namespace

ReportOutcome WriteReportFile(ReportDocument& document, HWND owner, const char* outputPath,
                              const StDATAINFO& dataSet, const StSHOHIZEIINFO* settings) {
  platform::File file;
  XmlTextWriter writer;
  // A file that cannot be created makes every later write fail, so each
  // section asks its question; the failure is reported after the sequence.
  writer.OpenFile(&file, outputPath);
  writer.WriteText(kDeclaration);
  writer.WriteStartTag(kRoot, 0);

  const bool fromSaved = settings == nullptr;
  bool goOn = document.WriteSystem(writer) || AskToContinue(owner, kSystemSectionFailed);
  if (goOn) {
    goOn = document.WriteBasic(writer, dataSet, fromSaved ? kSourceSavedReturn : kSourceJournals) ||
           AskToContinue(owner, kBasicSectionFailed);
  }
  if (goOn) {
    bool written = fromSaved ? document.WriteSavedData(writer, dataSet)
                             : document.WriteData(writer, dataSet, *settings);
    goOn = written || AskToContinue(owner, kDataSectionFailed);
  }
  writer.WriteEndTag(kRoot, 0);
  writer.CloseFile();
  if (!goOn) return ReportOutcome::kAbandoned;

  if (writer.openFailed() || writer.writeFailed()) {
    const char* path = outputPath != nullptr ? outputPath : "";
    std::string text =
        WithPath(writer.openFailed() ? kReportFileNotCreated : kReportFileWriteFailed, path);
    platform::Ui().MessageBox(owner, text, kCaption, MB_ICONWARNING | MB_OK);
    return ReportOutcome::kFileFailed;
  }
  return ReportOutcome::kWritten;
}

ReportOutcome WriteReportFile(const ReportInputs& inputs, HWND owner, const char* outputPath,
                              const StDATAINFO& dataSet, const StSHOHIZEIINFO* settings) {
  ReportDocument document(inputs);
  return WriteReportFile(document, owner, outputPath, dataSet, settings);
}

}  // namespace taxlink
