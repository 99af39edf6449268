#include "mvhost/cli/BatchIndex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "mvhost/cli/WholeFile.h"
#include "sheet/HtmlSheet.h"

namespace mvhost {

namespace {

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string CsvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) line += (i == 0 ? "" : ",") + CsvField(fields[i]);
  return line + "\r\n";
}

// The records of CSV text: quoted fields may hold commas, quotes ("") and
// line breaks.
std::vector<std::vector<std::string>> CsvRecords(const std::string& text) {
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> record;
  std::string field;
  bool quoted = false;
  bool any = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
      continue;
    }
    any = true;
    if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      record.push_back(std::move(field));
      field.clear();
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      record.push_back(std::move(field));
      field.clear();
      records.push_back(std::move(record));
      record.clear();
      any = false;
    } else {
      field += c;
    }
  }
  if (any) {
    record.push_back(std::move(field));
    records.push_back(std::move(record));
  }
  return records;
}

// Escaped text; line breaks (of messages) kept.
std::string Html(const std::string& text) {
  std::string out;
  for (char c : taxlink::sheet::EscapeHtml(text)) {
    if (c == '\n') {
      out += "<br>";
    } else {
      out += c;
    }
  }
  return out;
}

// A file name as a relative link: every byte but the unreserved ones
// percent-encoded, so that no name can leave the attribute or the folder's
// own files.
std::string Href(const std::string& name) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : name) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '_' || c == '.' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return "./" + out;
}

std::string Link(const std::string& name, const char* label) {
  if (name.empty()) return "";
  return "<a href=\"" + Html(Href(name)) + "\">" + label + "</a>";
}

bool SortedBefore(const ClientResult& a, const ClientResult& b) {
  return a.dataNo != b.dataNo ? a.dataNo < b.dataNo : a.dataId < b.dataId;
}

std::string HtmlHead() {
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>batch index</title>\n<style>\n"
      "body{font-family:sans-serif}table{border-collapse:collapse}"
      "td,th{border:1px solid #999;padding:2px 6px;vertical-align:top}"
      ".num{text-align:right}.refused{background:#fff3cd}.failed{background:#f8d7da}\n"
      "</style>\n</head>\n<body>\n<h1>batch index</h1>\n<table>\n<tr>";
  for (const char* head : {"data no",
                           "data id",
                           "company",
                           "period",
                           "months",
                           "method",
                           "status",
                           "message",
                           "duration (ms)",
                           "report SHA-256",
                           "size",
                           "findings",
                           "sales 8 %",
                           "tax 8 %",
                           "sales 5 %",
                           "tax 5 %",
                           "sales 3 %",
                           "tax 3 %",
                           "purchases exceed sales",
                           "files"}) {
    html += std::string("<th>") + head + "</th>";
  }
  return html + "</tr>\n";
}

std::string HtmlRow(const ClientResult& row) {
  std::vector<std::string> fields = row.Fields();
  std::string html = "<tr class=\"" + Html(row.status) + "\">";
  for (size_t i = 0; i < 19; ++i) {
    const bool number = i == 0 || i == 8 || (i >= 10 && i <= 17);
    html += std::string(number ? "<td class=\"num\">" : "<td>") + Html(fields[i]) + "</td>";
  }
  return html + "<td>" + Link(row.report, "report") + " " + Link(row.sheet, "sheet") + " " +
         Link(row.findingsFile, "findings") + "</td></tr>\n";
}

constexpr char kHtmlTail[] = "</table>\n</body>\n</html>\n";

}  // namespace

BatchIndex::BatchIndex(std::string folder) : folder_(std::move(folder)) {}

std::string BatchIndex::CsvText(const std::vector<ClientResult>& rows) {
  std::string text = CsvLine(ClientResult::Columns());
  for (const ClientResult& row : rows) text += CsvLine(row.Fields());
  return text;
}

std::vector<ClientResult> BatchIndex::ParseCsv(const std::string& text) {
  std::vector<ClientResult> rows;
  std::vector<std::vector<std::string>> records = CsvRecords(text);
  if (records.empty() || records[0] != ClientResult::Columns()) return rows;
  for (size_t i = 1; i < records.size(); ++i) {
    ClientResult row;
    if (ClientResult::FromFields(records[i], &row)) rows.push_back(std::move(row));
  }
  return rows;
}

std::string BatchIndex::HtmlText(const std::vector<ClientResult>& rows) {
  std::string html = HtmlHead();
  for (const ClientResult& row : rows) html += HtmlRow(row);
  return html + kHtmlTail;
}

std::vector<ClientResult> BatchIndex::Read() const { return ParseCsv(ReadWholeFile(CsvPath())); }

bool BatchIndex::FileStamp::operator==(const FileStamp& other) const {
  return device == other.device && inode == other.inode && size == other.size &&
         modifiedSeconds == other.modifiedSeconds &&
         modifiedNanoseconds == other.modifiedNanoseconds &&
         changedSeconds == other.changedSeconds && changedNanoseconds == other.changedNanoseconds;
}

bool BatchIndex::StampOf(const std::string& path, FileStamp* stamp) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return false;
  stamp->device = static_cast<uint64_t>(status.st_dev);
  stamp->inode = static_cast<uint64_t>(status.st_ino);
  stamp->size = static_cast<int64_t>(status.st_size);
  stamp->modifiedSeconds = static_cast<int64_t>(status.st_mtim.tv_sec);
  stamp->modifiedNanoseconds = static_cast<int64_t>(status.st_mtim.tv_nsec);
  stamp->changedSeconds = static_cast<int64_t>(status.st_ctim.tv_sec);
  stamp->changedNanoseconds = static_cast<int64_t>(status.st_ctim.tv_nsec);
  return true;
}

BatchIndex::Row BatchIndex::RowOf(ClientResult result) {
  Row row;
  row.csv = CsvLine(result.Fields());
  row.html = HtmlRow(result);
  row.result = std::move(result);
  return row;
}

bool BatchIndex::Merge(const std::vector<ClientResult>& rows, std::string* error) {
  const std::string lockPath = folder_ + "/index.lock";
  int lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (lock < 0 || ::flock(lock, LOCK_EX) != 0) {
    *error = "cannot lock " + lockPath + ": " + std::strerror(errno);
    if (lock >= 0) ::close(lock);
    return false;
  }
  FileStamp now;
  if (!known_ || !StampOf(CsvPath(), &now) || !(now == written_)) {
    // Not the file this object wrote last (another batch merged, or none
    // was written yet): its rows are read again.
    rows_.clear();
    for (ClientResult& row : Read()) rows_.push_back(RowOf(std::move(row)));
    std::stable_sort(rows_.begin(), rows_.end(),
                     [](const Row& a, const Row& b) { return SortedBefore(a.result, b.result); });
  }
  known_ = false;
  for (const ClientResult& row : rows) {
    auto same = std::find_if(rows_.begin(), rows_.end(),
                             [&](const Row& old) { return old.result.dataId == row.dataId; });
    if (same != rows_.end()) rows_.erase(same);
    // In order of data number: a batch's rows mostly go at the end.
    auto at = std::upper_bound(
        rows_.begin(), rows_.end(), row,
        [](const ClientResult& a, const Row& b) { return SortedBefore(a, b.result); });
    rows_.insert(at, RowOf(row));
  }
  // The files are written from the rows' own text, not joined first: the
  // batch forks its clients from this process, and every page it writes
  // while one runs is copied.
  const std::string csvHead = CsvLine(ClientResult::Columns());
  const std::string htmlHead = HtmlHead();
  std::vector<std::string_view> csv{csvHead};
  std::vector<std::string_view> html{htmlHead};
  csv.reserve(rows_.size() + 1);
  html.reserve(rows_.size() + 2);
  for (const Row& row : rows_) {
    csv.emplace_back(row.csv);
    html.emplace_back(row.html);
  }
  html.emplace_back(kHtmlTail);
  const bool written =
      WriteWholeFile(CsvPath(), csv, error) && WriteWholeFile(HtmlPath(), html, error);
  known_ = written && StampOf(CsvPath(), &written_);
  ::close(lock);  // releases the lock
  return written;
}

}  // namespace mvhost
