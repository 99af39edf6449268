#include "xml/SupportInfoFile.h"

#include <cstring>
#include <new>
#include <utility>

#include "platform/dialog/UserInterface.h"
#include "platform/text/WinTypes.h"
#include "platform/ui/FrontEnd.h"
#include "platform/winfs/File.h"
#include "resources/Texts.h"

namespace taxlink {

namespace {

constexpr char kFileName[] = "SUPPORT.INF";
constexpr const auto& kProductNameMarker = texts::kProductNameMarker;
constexpr const auto& kProductVersionMarker = texts::kProductVersionMarker;
constexpr const auto& kOutOfMemory = texts::kSupportInfoOutOfMemory;

}  // namespace

SupportInfoFile::SupportInfoFile(std::string applicationTitle, std::string folder)
    : applicationTitle_(std::move(applicationTitle)), folder_(std::move(folder)) {}

SupportInfoFile::~SupportInfoFile() = default;

std::unique_ptr<char[]> SupportInfoFile::AllocateBlock() {
  return std::unique_ptr<char[]>(new (std::nothrow) char[kBlockSize]);
}

bool SupportInfoFile::LoadSupportInfo() {
  if (block_) return true;
  block_ = AllocateBlock();
  if (!block_) {
    platform::Ui().MessageBox(0, kOutOfMemory, applicationTitle_, MB_OK);
    return false;
  }
  std::memset(block_.get(), 0xFF, kBlockSize);
  dataSize_ = 0;

  std::string path = folder_ + kFileName;
  platform::File file;
  if (!file.Open(path.c_str(), platform::File::kRead)) return false;
  try {
    while (dataSize_ < kBlockSize) {
      std::size_t n = file.Read(block_.get() + dataSize_, kBlockSize - dataSize_);
      if (n == 0) break;
      dataSize_ += n;
    }
    file.Close();
  } catch (...) {
    // What was read before the failure is used; the rest keeps the fill.
    file.Abort();
  }

  // Line ends and end-of-file bytes become terminators.
  char* data = block_.get();
  for (std::size_t i = 0; i < dataSize_; ++i) {
    if (data[i] == '\r' && i + 1 < dataSize_ && data[i + 1] == '\n') {
      data[i] = '\0';
      data[i + 1] = '\0';
      ++i;
    } else if (data[i] == '\x1A') {
      data[i] = '\0';
    }
  }
  return true;
}

std::string SupportInfoFile::FindValue(std::string_view marker) {
  if (!LoadSupportInfo()) return std::string();
  const char* data = block_.get();
  if (marker.size() > dataSize_) return std::string();
  for (std::size_t at = 0; at + marker.size() <= dataSize_; ++at) {
    if (std::memcmp(data + at, marker.data(), marker.size()) != 0) continue;
    // The value ends at the line end, an end-of-file byte or the end of
    // the data read, never beyond the block.
    std::size_t begin = at + marker.size();
    std::size_t end = begin;
    while (end < dataSize_ && data[end] != '\0') ++end;
    return std::string(data + begin, end - begin);
  }
  return std::string();
}

std::string SupportInfoFile::GetProductName() { return FindValue(kProductNameMarker); }

std::string SupportInfoFile::GetProductVersion() { return FindValue(kProductVersionMarker); }

}  // namespace taxlink
