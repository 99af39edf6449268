#include "trace/TraceFile.h"

#include <cstring>
#include <optional>
#include <string_view>

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
#include "trace/ReportValues.h"
#include "trace/Sha256.h"
#include "trace/TraceKeys.h"
#include "trace/TraceSpools.h"
#include "trace/YenText.h"

namespace taxlink {

namespace {

constexpr char kTemporaryStem[] = "trace";
constexpr std::size_t kBufferSize = 1 << 20;
constexpr int kSecuritiesFactor = 20;

std::string Utf8(const char* field, std::size_t size) {
  return platform::Cp932ToUtf8(std::string_view(field, strnlen(field, size)));
}

std::string Json(const nlohmann::json& value) {
  return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

const char* RoundingName(uint8_t mode) {
  switch (mode) {
    case 0: return "cascading_half_up";
    case 2: return "away_from_zero";
    default: return "toward_zero";
  }
}

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
  const int r = group.rateIndex;
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
      figure->raw = RecordFigure(
          &tables.businessTypeInfo[kBusinessTypesPerRate * r + element.businessType - 1],
          element.figure);
      figure->spool =
          TraceKey(TraceKeyKind::kTypeFigure, r, element.businessType, element.figure);
      return;
    case JournalSource::kUnclassified: {
      // The rate row's figure less the business-type figures of its slot.
      int64_t raw = RecordFigure(&row, element.figure);
      for (const FormElement& typed : FormTopics()[group.topic].elements) {
        if (typed.journal != JournalSource::kBusinessType || typed.slot != element.slot) continue;
        raw -= RecordFigure(
            &tables.businessTypeInfo[kBusinessTypesPerRate * r + typed.businessType - 1],
            typed.figure);
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
    figure->savedMember = std::string(element.form->saved.member) +
                          "853"[group.rateIndex];
    if (element.form->saved.times20) {
      figure->rule = "saved_times_20";
      figure->raw = figure->savedAmount * kSecuritiesFactor;
    }
    return;
  }
  if (element.statement.savedIndex < 0) return;
  const int index = element.statement.savedIndex;
  figure->savedAmount = RecordFigure(
      &saved, offsetof(StSaveTaxInfo, refundAmounts) + sizeof(int64_t) * index);
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

// Buffered writes to the replacement file; File::Write raises on failure.
class TraceOutput {
 public:
  explicit TraceOutput(platform::File& file) : file_(file) { buffer_.reserve(kBufferSize); }
  void Add(std::string_view text) {
    buffer_ += text;
    if (buffer_.size() >= kBufferSize) Flush();
  }
  void Flush() {
    if (!buffer_.empty()) file_.Write(buffer_.data(), buffer_.size());
    buffer_.clear();
  }

 private:
  platform::File& file_;
  std::string buffer_;
};

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
  const TraceSpools::Spool* spool =
      figure.spool && spools != nullptr ? spools->Find(*figure.spool) : nullptr;
  const int64_t sum = spool != nullptr ? spool->sum : figure.savedAmount;
  if (figure.rule != nullptr) {
    head["rule"] = figure.rule;
    head["sum"] = YenText(sum);
  }
  head["count"] = spool != nullptr ? spool->count : figure.savedMember.empty() ? 0 : 1;
  std::string text = Json(head);
  text.pop_back();  // the closing brace: the contributions come last
  out.Add(first ? "\n" : ",\n");
  out.Add(text);
  out.Add(",\"contributions\":[");
  if (spool != nullptr) {
    if (!spools->ForEachChunk(*figure.spool, [&out](std::string_view chunk) {
          out.Add(chunk);
          return true;
        })) {
      return false;
    }
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

}  // namespace

Status WriteTraceFile(const ReportInputs& inputs, const StDATAINFO& dataSet, const TraceRun& run,
                      const TraceSpools* spools, const std::string& reportPath,
                      const std::string& tracePath) {
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
  if (spools != nullptr && spools->failed()) return TraceFailed(tracePath);

  const std::vector<TracedFigure> figures =
      TracedFigures(inputs, run.savedReturn, ReadReportValues(report));
  platform::ReplacementFile replacement(tracePath, kTemporaryStem);
  platform::File file;
  if (!replacement.Open(&file)) return TraceFailed(tracePath);
  try {
    TraceOutput out(file);
    out.Add("{\"report\":");
    out.Add(Json(Header(Sha256Hex(report), dataSet, run)));
    out.Add(",\n\"figures\":[");
    bool first = true;
    for (const TracedFigure& figure : figures) {
      if (!WriteFigure(out, figure, inputs.settings.roundingMode(), spools, first)) {
        return TraceFailed(tracePath);
      }
      first = false;
    }
    out.Add("]}\n");
    out.Flush();
    file.Close();
  } catch (const platform::FileException&) {
    return TraceFailed(tracePath);
  }
  return replacement.Commit() ? Status::OK() : TraceFailed(tracePath);
}

}  // namespace taxlink
