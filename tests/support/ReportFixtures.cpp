#include "tests/support/ReportFixtures.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/winfs/File.h"
#include "platform/winfs/WinFileSystem.h"
#include "xml/XmlTextWriter.h"

namespace taxlink::testing {

RecordingUi::Scope::Scope() : log_(std::make_shared<Log>()) {
  previous_ = platform::SetUi(std::make_unique<RecordingUi>(log_));
}

RecordingUi::Scope::~Scope() {
  if (previous_) platform::SetUi(std::move(previous_));
}

int RecordingUi::MessageBox(HWND owner, std::string_view text, std::string_view caption,
                            uint32_t style) {
  log_->messages.push_back({owner, std::string(text), std::string(caption), style});
  if (log_->answers.empty()) return IDYES;
  int answer = log_->answers.front();
  log_->answers.pop_front();
  return answer;
}

TaxSettings SettingsWithTaxSet(const TaxSettings& settings, ClSetShohizei* taxSet) {
  TaxSettings result = settings;
  result.setObjectFound = taxSet != nullptr;
  result.rateCount = taxSet != nullptr ? taxSet->GetTaxRateCount() : 0;
  return result;
}

int32_t FakeTaxSet::Get(StSHOHIZEIINFO* out) {
  *out = settings;
  return 0;
}

TempFolder::TempFolder() {
  std::string pattern = std::filesystem::temp_directory_path().string() + "/taxlink-report-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::WindowsFile(const std::string& name) const {
  return platform::ToWindowsPath(File(name));
}

CurrentDirectory::CurrentDirectory(const std::string& path)
    : previous_(std::filesystem::current_path().string()) {
  std::filesystem::current_path(path);
}

CurrentDirectory::~CurrentDirectory() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
}

std::string CaptureLines(const std::function<bool(XmlTextWriter&)>& write, bool* result) {
  TempFolder folder;
  std::string path = folder.WindowsFile("lines.xml");
  {
    platform::File file;
    XmlTextWriter writer;
    if (writer.OpenFile(&file, path.c_str()) != 0) throw std::runtime_error("cannot open " + path);
    bool ok = write(writer);
    if (result != nullptr) *result = ok;
  }
  return ReadBytes(folder.File("lines.xml"));
}

std::vector<std::pair<std::string, std::string>> ElementsOf(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> elements;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 2;
    std::size_t open = line.find('<');
    std::size_t close = line.find("</");
    if (open == std::string::npos || close == std::string::npos || close == open) continue;
    std::size_t nameEnd = line.find('>', open);
    elements.emplace_back(line.substr(open + 1, nameEnd - open - 1),
                          line.substr(nameEnd + 1, close - nameEnd - 1));
  }
  return elements;
}

std::string ValueOf(const std::string& text, const std::string& name) {
  for (const auto& [element, value] : ElementsOf(text)) {
    if (element == name) return value;
  }
  return "<missing>";
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace taxlink::testing
