#include "report/ReportFile.h"

#include <string>

#include "platform/dialog/UserInterface.h"
#include "platform/ui/FrontEnd.h"
#include "platform/winfs/File.h"
#include "platform/winfs/ReplacementFile.h"
#include "report/ReportDocument.h"
#include "resources/Caption.h"
#include "resources/Texts.h"
#include "resources/ids/ReportTemporary.h"
#include "xml/XmlTextWriter.h"

namespace taxlink {

namespace {

constexpr char kWhere[] = "WriteReportFile";
constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n";
constexpr char kRoot[] = "REPORT";

// True when the user wants to go on after a failed section.
bool AskToContinue(HWND owner, const char* question) {
  return platform::Ui().MessageBox(owner, question, kMessageCaption, MB_ICONWARNING | MB_YESNO) ==
         IDYES;
}

// A section counts as written when its lines reached the file too.
bool SectionWritten(bool written, XmlTextWriter& writer) { return writer.Flush() && written; }

std::string WithPath(const char* format, const char* path) {
  std::string text(format);
  std::string::size_type at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, path);
  return text;
}

}  // namespace

Status WriteReportFile(ReportDocument& document, HWND owner, const char* outputPath,
                       const StDATAINFO& dataSet, ReportSource source) {
  // The report goes to a temporary file that replaces the output file only
  // when the sequence ends; a run that fails, or is killed, leaves the old
  // file as it was. A file that cannot be created makes every write fail,
  // so each section asks its question; the failure is reported after the
  // sequence.
  platform::File file;
  platform::ReplacementFile output(outputPath != nullptr ? outputPath : "", kReportTemporaryStem);
  XmlTextWriter writer;
  const bool created = outputPath != nullptr && output.Open(&file);
  if (created) writer.BindFile(&file, outputPath);
  writer.WriteText(kDeclaration);
  writer.WriteStartTag(kRoot, 0);

  const bool fromSaved = source == ReportSource::kSavedReturn;
  bool goOn = SectionWritten(document.WriteSystem(writer), writer) ||
              AskToContinue(owner, kSystemSectionFailed);
  if (goOn) {
    goOn = SectionWritten(document.WriteBasic(writer, dataSet,
                                              fromSaved ? kSourceSavedReturn : kSourceJournals),
                          writer) ||
           AskToContinue(owner, kBasicSectionFailed);
  }
  if (goOn) {
    const StSHOHIZEIINFO& settings = document.inputs().settings.record;
    bool written = fromSaved ? document.WriteSavedData(writer, dataSet)
                             : document.WriteData(writer, dataSet, settings);
    goOn = SectionWritten(written, writer) || AskToContinue(owner, kDataSectionFailed);
  }
  writer.WriteEndTag(kRoot, 0);
  writer.CloseFile();
  // Every line reached the file (a section the user let pass aside).
  const bool complete = created && !writer.writeFailed();
  if (!goOn) {
    // Giving up keeps what was written, as long as nothing failed to reach
    // the file: a cut-off file would not replace the old one.
    if (complete) output.Commit();
    return Status::Abandoned("the user gave up after a section failed", kWhere);
  }
  if (complete && output.Commit()) return Status::OK();

  const char* path = outputPath != nullptr ? outputPath : "";
  std::string text = WithPath(created ? kReportFileWriteFailed : kReportFileNotCreated, path);
  platform::Ui().MessageBox(owner, text, kMessageCaption, MB_ICONWARNING | MB_OK);
  if (!writer.refusedName().empty()) {
    return Status::IOError(
        "the value of " + writer.refusedName() + " holds a character XML does not allow", kWhere);
  }
  return Status::IOError(
      created ? "a write to the report file failed" : "the report file could not be created",
      kWhere);
}

Status WriteReportFile(const ReportInputs& inputs, HWND owner, const char* outputPath,
                       const StDATAINFO& dataSet, ReportSource source) {
  ReportDocument document(inputs);
  return WriteReportFile(document, owner, outputPath, dataSet, source);
}

}  // namespace taxlink
