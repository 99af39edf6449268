#include "trace/TraceFile.h"

#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>

#include <nlohmann/json.hpp>

#include "aggregation/FigureTrace.h"
#include "host/StSaveTaxInfo.h"
#include "host/StTAXREPORTRATEINFO.h"
#include "platform/text/Encoding.h"
#include "platform/winfs/File.h"
#include "platform/winfs/ReplacementFile.h"
#include "report/FormTopics.h"
#include "report/RecordFigure.h"
#include "report/ReportFormat.h"
#include "resources/Edition.h"
#include "resources/StringResources.h"
#include "resources/ids/ReportTemporary.h"
#include "trace/RateBreakdown.h"
#include "trace/ReportValues.h"
#include "trace/Sha256.h"
#include "trace/TraceKeys.h"
#include "trace/TraceRecorder.h"
#include "trace/TraceRecords.h"
#include "trace/TraceSpools.h"
#include "trace/YenText.h"

namespace taxlink {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;
constexpr int kSecuritiesFactor = 20;
// The header's values filled in last, and their width.
constexpr std::size_t kSha256Width = 64;
constexpr std::size_t kTimeWidth = 20;  // 2026-12-08T19:45:00Z

std::string Utf8(const char* field, std::size_t size) {
  return platform::Cp932ToUtf8(std::string_view(field, strnlen(field, size)));
}

std::string Json(const nlohmann::json& value) {
  return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

const char* RoundingName(uint8_t mode) {
  switch (mode) {
    case 0:
      return "cascading_half_up";
    case 2:
      return "away_from_zero";
    default:
      return "toward_zero";
  }
}

// Another figure that makes part of a figure: named when the trace holds
// it, else its lines stand in the figure's own list.
struct FigurePart {
  std::string section;
  std::optional<std::string> group;
  std::string element;
  int64_t raw = 0;
  std::optional<uint64_t> spool;
  bool written = false;
};

// One amount element as the trace explains it.
struct TracedFigure {
  std::string section;
  std::optional<std::string> group;
  std::string element;
  int64_t value = 0;
  int64_t raw = 0;
  const char* rule = nullptr;
  // The contributions: a spool of the run, or one saved-return member.
  std::optional<uint64_t> spool;
  std::string savedMember;
  int64_t savedAmount = 0;
  // A figure made of other figures: its parts instead of a spool.
  std::vector<FigurePart> parts;
};

// The report text of an amount as an integer; nothing when it is empty.
std::optional<int64_t> WrittenValue(const std::string& text) {
  if (text.empty()) return std::nullopt;
  try {
    return std::stoll(text);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

bool IsAmount(const ElementFormat& element) {
  return element.kind == ValueKind::kAmount || element.kind == ValueKind::kAmountOrZero;
}

// A form element of a run by journals: its raw figure and spool.
void FromJournals(const TaxSummaryTables& tables, const GroupFormat& group,
                  const FormElement& element, TracedFigure* figure) {
  const auto r = static_cast<unsigned>(group.rateIndex);
  // The business-type record of type (1..6) in the rate row.
  auto typeRecord = [&tables, r](int type) {
    return &tables.businessTypeInfo[kBusinessTypesPerRate * r + static_cast<unsigned>(type) - 1];
  };
  const StTAXREPORTRATEINFO& row = tables.rateInfo[r];
  switch (element.journal) {
    case JournalSource::kEmpty:
      return;
    case JournalSource::kRateFigure:
      figure->raw = RecordFigure(&row, element.figure);
      figure->spool = TraceKey(TraceKeyKind::kRateFigure, r, 0, element.figure);
      if (element.figure == offsetof(StTAXREPORTRATEINFO, securitiesSales)) {
        figure->rule = "securities_factor";
      }
      return;
    case JournalSource::kBusinessType:
      figure->raw = RecordFigure(typeRecord(element.businessType), element.figure);
      figure->spool = TraceKey(TraceKeyKind::kTypeFigure, r,
                               static_cast<unsigned>(element.businessType), element.figure);
      return;
    case JournalSource::kUnclassified: {
      // The rate row's figure less the business-type figures of its slot.
      int64_t raw = RecordFigure(&row, element.figure);
      for (const FormElement& typed :
           FormTopics()[static_cast<std::size_t>(group.topic)].elements) {
        if (typed.journal != JournalSource::kBusinessType || typed.slot != element.slot) continue;
        raw -= RecordFigure(typeRecord(typed.businessType), typed.figure);
      }
      figure->raw = raw;
      figure->spool = TraceKey(TraceKeyKind::kUntypedPart, r, 0, element.figure);
      return;
    }
  }
}

// A refund statement element of a run by journals.
void FromStatement(const TaxSummaryTables& tables, const StatementFeed& feed,
                   TracedFigure* figure) {
  const int64_t* address = feed.amount != nullptr ? &(tables.*feed.amount)
                           : feed.line != nullptr ? &((tables.*feed.line).*feed.part)
                                                  : nullptr;
  if (address == nullptr) return;
  figure->raw = *address;
  for (int f = 0; f < kFigureCount; ++f) {
    if (FigureAddress(tables, static_cast<Figure>(f)) == address) {
      figure->spool = EngineFigureKey(static_cast<Figure>(f));
    }
  }
}

void FromSaved(const StSaveTaxInfo& saved, const GroupFormat& group, const ElementFormat& element,
               TracedFigure* figure) {
  if (element.form != nullptr) {
    const uint16_t offset = element.form->saved.at[group.rateIndex];
    if (offset == 0) return;
    figure->savedAmount = RecordFigure(&saved, offset);
    figure->raw = figure->savedAmount;
    figure->savedMember = std::string(element.form->saved.member) + "853"[group.rateIndex];
    if (element.form->saved.times20) {
      figure->rule = "saved_times_20";
      figure->raw = figure->savedAmount * kSecuritiesFactor;
    }
    return;
  }
  if (element.statement.savedIndex < 0) return;
  const auto index = static_cast<std::size_t>(static_cast<uint8_t>(element.statement.savedIndex));
  figure->savedAmount =
      RecordFigure(&saved, offsetof(StSaveTaxInfo, refundAmounts) + sizeof(int64_t) * index);
  figure->raw = figure->savedAmount;
  figure->savedMember = "refundAmounts[" + std::to_string(index) + "]";
}

std::vector<TracedFigure> TracedFigures(const ReportInputs& inputs, bool saved,
                                        const ReportValues& values) {
  std::vector<TracedFigure> figures;
  for (const GroupFormat& group : ReportFormat()) {
    if (!group.inData) continue;
    const bool statement = group.topic < 0;
    for (const ElementFormat& element : group.elements) {
      if (!IsAmount(element)) continue;
      auto text = values.find({group.name, element.name});
      if (text == values.end()) continue;
      const std::optional<int64_t> value = WrittenValue(text->second);
      if (!value) continue;
      TracedFigure figure;
      figure.section = statement ? group.name : "DATA";
      if (!statement) figure.group = group.name;
      figure.element = element.name;
      figure.value = *value;
      if (saved) {
        if (inputs.savedReturn != nullptr) FromSaved(*inputs.savedReturn, group, element, &figure);
      } else if (element.form != nullptr) {
        FromJournals(inputs.tables, group, *element.form, &figure);
      } else {
        FromStatement(inputs.tables, element.statement, &figure);
      }
      figures.push_back(std::move(figure));
    }
  }
  return figures;
}

const ElementFormat* ElementOfForm(const GroupFormat& group, const FormElement* form) {
  for (const ElementFormat& element : group.elements) {
    if (element.form == form) return &element;
  }
  return nullptr;
}

// Makes the figures that are a sum of other figures name those figures
// instead of repeating their lines: a figure that another group already
// wrote, a rate-row figure that the form splits by business type, and an
// amount including tax made of the amounts excluding tax and tax.
void NameParts(const TaxSummaryTables& tables, const TraceRecorder* recorder,
               std::vector<TracedFigure>& figures) {
  std::map<std::pair<std::string, std::string>, std::size_t> written;
  for (std::size_t i = 0; i < figures.size(); ++i) {
    written[{figures[i].group.value_or(figures[i].section), figures[i].element}] = i;
  }
  std::map<uint64_t, std::size_t> firstOfSpool;
  for (std::size_t i = 0; i < figures.size(); ++i) {
    TracedFigure& figure = figures[i];
    if (!figure.spool) continue;
    const auto [first, added] = firstOfSpool.try_emplace(*figure.spool, i);
    if (!added) {
      const TracedFigure& earlier = figures[first->second];
      figure.parts.push_back(FigurePart{earlier.section, earlier.group, earlier.element,
                                        earlier.raw, earlier.spool, true});
      figure.spool.reset();
      continue;
    }
    const uint64_t key = *figure.spool;
    if (key >> 48 != static_cast<uint64_t>(TraceKeyKind::kRateFigure)) continue;
    const int rate = static_cast<int>(key >> 40 & 0xFF);
    const RateBreakdown breakdown = BreakdownOfRateFigure(static_cast<uint16_t>(key & 0xFFFF));
    if (breakdown.topic < 0) continue;
    const GroupFormat* group = nullptr;
    for (const GroupFormat& candidate : ReportFormat()) {
      if (candidate.topic == breakdown.topic && candidate.rateIndex == rate) group = &candidate;
    }
    if (group == nullptr) continue;
    std::vector<FigurePart> parts;
    for (const FormElement* form : breakdown.parts) {
      const ElementFormat* element = ElementOfForm(*group, form);
      if (element == nullptr) break;
      TracedFigure part;
      FromJournals(tables, *group, *form, &part);
      parts.push_back(FigurePart{"DATA", group->name, element->name, part.raw, part.spool,
                                 written.count({group->name, element->name}) > 0});
    }
    if (parts.size() != breakdown.parts.size()) continue;
    figure.parts = std::move(parts);
    figure.spool.reset();
  }
  // An amount including tax that is the sum of the same lines' amounts
  // excluding tax and tax names those two figures when the trace has both.
  if (recorder == nullptr) return;
  std::map<uint64_t, std::size_t> ownerOfSpool;
  for (std::size_t i = 0; i < figures.size(); ++i) {
    if (figures[i].spool) ownerOfSpool.try_emplace(*figures[i].spool, i);
  }
  for (TracedFigure& figure : figures) {
    uint64_t excluding = 0, tax = 0;
    if (!figure.spool || figure.rule != nullptr ||
        !recorder->SumOfParts(*figure.spool, &excluding, &tax)) {
      continue;
    }
    auto first = ownerOfSpool.find(excluding);
    auto second = ownerOfSpool.find(tax);
    // A part whose raw figure is not its lines' sum (a rule) cannot stand in.
    if (first == ownerOfSpool.end() || second == ownerOfSpool.end() ||
        figures[first->second].rule != nullptr || figures[second->second].rule != nullptr) {
      continue;
    }
    for (std::size_t i : {first->second, second->second}) {
      figure.parts.push_back(FigurePart{figures[i].section, figures[i].group, figures[i].element,
                                        figures[i].raw, figures[i].spool, true});
    }
    figure.spool.reset();
  }
}

nlohmann::json Header(const std::string& sha256, const StDATAINFO& dataSet, const TraceRun& run) {
  return nlohmann::json{
      {"sha256", sha256},
      {"data_id", Utf8(dataSet.dataId, sizeof(dataSet.dataId))},
      {"data_no", dataSet.dataNo},
      {"company", Utf8(dataSet.companyName, sizeof(dataSet.companyName))},
      {"months", {run.startMonth, run.endMonth}},
      {"method", run.savedReturn ? "saved" : "journals"},
      {"edition", CurrentEdition().deliverable},
      {"program_version", LoadStringResource(kIdsComponentVersion)},
      {"user", platform::Cp932ToUtf8(run.user)},
      {"time", run.time},
  };
}

// The columns of a row of the line table and of a line contribution.
nlohmann::json LineColumns() {
  return {"journal",   "line", "date",          "month_kind", "account", "side",
          "tax_class", "rate", "business_type", "department", "amount",  "tax"};
}
nlohmann::json LineEntryColumns() { return {"line", "taken", "amount"}; }

// Buffered writes to the replacement file; File::Write raises on failure.
// The spools' text is read straight into the buffer, so that the trace is
// written a MiB at a time: the kernel's copy of a spool chunk by chunk wrote
// the file a page at a time, at several times the cost.
class TraceOutput {
 public:
  explicit TraceOutput(platform::File& file)
      : file_(file), buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize)) {}
  void Add(std::string_view text) { std::memcpy(Room(text.size()), text.data(), text.size()); }
  // Room for bytes more at the end of what is buffered, the buffer written
  // out first when they would not fit.
  char* Room(std::size_t bytes) {
    if (size_ + bytes > capacity_) {
      Flush();
      if (bytes > capacity_) {
        buffer_ = std::make_unique_for_overwrite<char[]>(bytes);
        capacity_ = bytes;
      }
    }
    char* at = buffer_.get() + size_;
    size_ += bytes;
    return at;
  }
  void Flush() {
    if (size_ == 0) return;
    file_.Write(buffer_.get(), size_);
    // Every few MiB the write to disk is started, so that the flush at the
    // end waits for less.
    if ((unsynced_ += size_) >= kWriteBackStep) {
      file_.StartWriteBack();
      unsynced_ = 0;
    }
    size_ = 0;
  }

 private:
  static constexpr uint64_t kWriteBackStep = 1 << 22;
  platform::File& file_;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = kBufferSize;
  std::size_t size_ = 0;
  uint64_t unsynced_ = 0;
};

// Appends the entries of a spool, comma-separated, as the spool holds them.
bool CopySpool(TraceOutput& out, const TraceSpools& spools, uint64_t key) {
  const TraceSpools::Spool* spool = spools.Find(key);
  if (spool == nullptr || spool->bytes == 0) return true;
  return spools.ReadText(*spool, [&out](std::size_t bytes) { return out.Room(bytes); });
}

bool WriteFigure(TraceOutput& out, const TracedFigure& figure, uint8_t rounding,
                 const TraceSpools* spools, bool first) {
  nlohmann::json head{
      {"element", figure.element},
      {"section", figure.section},
      {"group", figure.group ? nlohmann::json(*figure.group) : nlohmann::json(nullptr)},
      {"value", figure.value},
      {"raw", YenText(figure.raw)},
      {"rounding", RoundingName(rounding)},
  };
  auto spoolOf = [spools](const std::optional<uint64_t>& key) -> const TraceSpools::Spool* {
    return key && spools != nullptr ? spools->Find(*key) : nullptr;
  };
  const TraceSpools::Spool* spool = spoolOf(figure.spool);
  const int64_t sum = spool != nullptr ? spool->sum : figure.savedAmount;
  if (figure.rule != nullptr) {
    head["rule"] = figure.rule;
    head["sum"] = YenText(sum);
  }
  uint64_t count = spool != nullptr ? spool->count : figure.savedMember.empty() ? 0 : 1;
  for (const FigurePart& part : figure.parts) {
    const TraceSpools::Spool* lines = spoolOf(part.spool);
    count += part.written ? 1 : lines != nullptr ? lines->count : 0;
  }
  head["count"] = count;
  std::string text = Json(head);
  text.pop_back();  // the closing brace: the contributions come last
  out.Add(first ? "\n" : ",\n");
  out.Add(text);
  out.Add(",\"contributions\":[");
  bool none = true;
  for (const FigurePart& part : figure.parts) {
    const TraceSpools::Spool* lines = spoolOf(part.spool);
    if (!part.written && (lines == nullptr || lines->count == 0)) continue;
    if (!none) out.Add(",");
    none = false;
    if (!part.written) {
      if (!CopySpool(out, *spools, *part.spool)) return false;
      continue;
    }
    out.Add("\n{\"kind\":\"figure\",\"amount\":\"" + YenText(part.raw) + "\",\"section\":\"" +
            part.section +
            "\",\"group\":" + (part.group ? "\"" + *part.group + "\"" : std::string("null")) +
            ",\"element\":\"" + part.element + "\"}");
  }
  if (spool != nullptr && spool->count > 0) {
    if (!none) out.Add(",");
    if (!CopySpool(out, *spools, *figure.spool)) return false;
  } else if (!figure.savedMember.empty()) {
    out.Add("\n{\"kind\":\"saved\",\"amount\":\"" + YenText(figure.savedAmount) +
            "\",\"member\":" + Json(figure.savedMember) + "}");
  }
  out.Add("]}");
  return true;
}

Status TraceFailed(const std::string& path) {
  return Status::IOError("the trace file " + path + " could not be written", "WriteTraceFile");
}

// The document up to the rows of the line table.
std::string DocumentHead(const std::string& sha256, const StDATAINFO& dataSet,
                         const TraceRun& run) {
  return "{\"report\":" + Json(Header(sha256, dataSet, run)) +
         ",\n\"line_columns\":" + Json(LineColumns()) +
         ",\n\"line_entry_columns\":" + Json(LineEntryColumns()) + ",\n\"lines\":[";
}

// Where the string value of key begins in a JSON text (keys are unique in
// the header, and its strings hold no unescaped quote).
uint64_t ValueOffset(const std::string& text, const std::string& key) {
  const std::string member = "\"" + key + "\":\"";
  return text.find(member) + member.size();
}

}  // namespace

TraceFile::TraceFile(std::string tracePath)
    : path_(tracePath), replacement_(std::move(tracePath), kTraceTemporaryStem) {}

bool TraceFile::Begin(const StDATAINFO& dataSet, const TraceRun& run) {
  begun_ = false;
  // A device or a pipe is opened once, at the end: opening a pipe now and
  // closing it would end its reader's stream.
  if (replacement_.TargetIsDirect() || !replacement_.Open(&file_)) return false;
  if (replacement_.WritesDirectly()) {
    file_.Abort();
    return false;
  }
  TraceRun placeholders = run;
  placeholders.time = std::string(kTimeWidth, '0');
  const std::string head = DocumentHead(std::string(kSha256Width, '0'), dataSet, placeholders);
  sha256Offset_ = ValueOffset(head, "sha256");
  timeOffset_ = ValueOffset(head, "time");
  try {
    file_.Write(head.data(), head.size());
  } catch (const platform::FileException&) {
    file_.Abort();
    replacement_.Discard();
    return false;
  }
  begun_ = true;
  return true;
}

Status TraceFile::Write(const ReportInputs& inputs, const StDATAINFO& dataSet, const TraceRun& run,
                        TraceRecorder* recorder, const std::string& reportPath) {
  // The old trace's pages leave the cache while the recorder catches up and
  // this one is finished, so that replacing it does not wait for that at the
  // end (once the replacement is open its paths no longer change).
  std::jthread dropping;
  auto dropOldPages = [this, &dropping] {
    try {
      dropping = std::jthread([this] { replacement_.DropTargetPages(); });
    } catch (const std::system_error&) {
      // Left to the rename.
    }
  };
  if (begun_) dropOldPages();
  std::string report;
  try {
    platform::File file;
    if (!file.Open(reportPath.c_str(), platform::File::kRead)) {
      return Status::IOError("the report " + reportPath + " could not be read", "WriteTraceFile");
    }
    char chunk[1 << 16];
    std::size_t read = 0;
    while ((read = file.Read(chunk, sizeof(chunk))) > 0) report.append(chunk, read);
  } catch (const platform::FileException&) {
    return Status::IOError("the report " + reportPath + " could not be read", "WriteTraceFile");
  }
  const std::string sha256 = Sha256Hex(report);
  std::vector<TracedFigure> figures =
      TracedFigures(inputs, run.savedReturn, ReadReportValues(report));
  // Every contribution recorded, on the recorder's thread or in turn.
  if (recorder != nullptr) recorder->Finish();
  const TraceSpools* spools = recorder != nullptr ? &recorder->spools() : nullptr;
  if (recorder != nullptr && recorder->failed()) return TraceFailed(path_);
  if (begun_ && (sha256.size() != kSha256Width || run.time.size() != kTimeWidth)) {
    return TraceFailed(path_);
  }

  if (!begun_) {
    if (!replacement_.Open(&file_)) return TraceFailed(path_);
    dropOldPages();
  }
  if (!run.savedReturn) NameParts(inputs.tables, recorder, figures);
  // The entries left unmade for a figure that could have ended as the sum
  // of its parts, of each spool the trace still copies.
  if (recorder != nullptr) {
    for (const TracedFigure& figure : figures) {
      if (figure.spool && !recorder->Complete(*figure.spool)) return TraceFailed(path_);
      for (const FigurePart& part : figure.parts) {
        if (!part.written && part.spool && !recorder->Complete(*part.spool)) {
          return TraceFailed(path_);
        }
      }
    }
  }
  try {
    TraceOutput out(file_);
    if (begun_) {
      // The rows are in the file already, but for what their stream holds.
      if (recorder == nullptr || !recorder->spools().FlushInPlace(kLineTableKey)) {
        return TraceFailed(path_);
      }
    } else {
      out.Add(DocumentHead(sha256, dataSet, run));
      if (spools != nullptr && !CopySpool(out, *spools, kLineTableKey)) {
        return TraceFailed(path_);
      }
    }
    // The accounts the rows name, each once.
    out.Add("],\n\"accounts\":[");
    bool firstAccount = true;
    if (recorder != nullptr) {
      const std::map<int32_t, std::string> byId(recorder->accounts().begin(),
                                                recorder->accounts().end());
      for (const auto& [id, account] : byId) {
        out.Add(firstAccount ? "\n" : ",\n");
        out.Add(account);
        firstAccount = false;
      }
    }
    out.Add("],\n\"figures\":[");
    bool first = true;
    for (const TracedFigure& figure : figures) {
      if (!WriteFigure(out, figure, inputs.settings.roundingMode(), spools, first)) {
        return TraceFailed(path_);
      }
      first = false;
    }
    out.Add("]}\n");
    out.Flush();
    if (begun_) {
      file_.WriteAt(sha256.data(), sha256.size(), sha256Offset_);
      file_.WriteAt(run.time.data(), run.time.size(), timeOffset_);
    }
    file_.Close();
  } catch (const platform::FileException&) {
    return TraceFailed(path_);
  }
  if (dropping.joinable()) dropping.join();
  if (!replacement_.Commit()) return TraceFailed(path_);
  // Freeing a large old trace's blocks took the rename 12 to 15 ms: the
  // last close of it does that instead, on a thread of its own.
  if (replacement_.ReplacedDescriptor() >= 0) {
    try {
      releasing_ = std::jthread([this] { replacement_.CloseReplaced(); });
    } catch (const std::system_error&) {
      replacement_.CloseReplaced();
    }
  }
  return Status::OK();
}

Status WriteTraceFile(const ReportInputs& inputs, const StDATAINFO& dataSet, const TraceRun& run,
                      TraceRecorder* recorder, const std::string& reportPath,
                      const std::string& tracePath) {
  return TraceFile(tracePath).Write(inputs, dataSet, run, recorder, reportPath);
}

}  // namespace taxlink
