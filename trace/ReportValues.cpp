#include "trace/ReportValues.h"

namespace taxlink {

ReportValues ReadReportValues(std::string_view bytes) {
  ReportValues values;
  std::string group;
  bool inData = false;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
    const std::size_t open = line.find('<');
    if (open == std::string_view::npos) continue;
    line = line.substr(open);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t close = line.find('>');
    if (close == std::string_view::npos || line.size() < 3) continue;
    const std::string_view tag = line.substr(1, close - 1);
    if (tag == "DATA") inData = true;
    if (tag == "/DATA") inData = false;
    if (!inData || tag.empty() || tag[0] == '/') continue;
    if (close + 1 == line.size()) {
      group = std::string(tag);  // a group opens
      continue;
    }
    const std::size_t endTag = line.rfind("</");
    if (endTag == std::string_view::npos || endTag < close) continue;
    values[{group, std::string(tag)}] = std::string(line.substr(close + 1, endTag - close - 1));
  }
  return values;
}

}  // namespace taxlink
