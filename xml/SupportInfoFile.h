#ifndef TAXLINK_XML_SUPPORTINFOFILE_H_
#define TAXLINK_XML_SUPPORTINFOFILE_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace taxlink {

// Reads the product name and version from the product's support information
// file "SUPPORT.INF" (Shift_JIS, CR LF lines, optional 0x1A end byte). A
// value follows its marker and runs to the end of that line. The file is
// read at most once per reader, and only its first 30000 bytes count.
class SupportInfoFile {
 public:
  static constexpr std::size_t kBlockSize = 30000;

  // applicationTitle: caption of the out-of-memory message. folder: where
  // the file lies (ending in a backslash); empty for the current directory.
  explicit SupportInfoFile(std::string applicationTitle = {}, std::string folder = {});
  virtual ~SupportInfoFile();
  SupportInfoFile(const SupportInfoFile&) = delete;
  SupportInfoFile& operator=(const SupportInfoFile&) = delete;

  // The text after "[=製品名=]"; empty when the file or the marker is missing.
  std::string GetProductName();
  // The text after "[=製品ﾊﾞｰｼﾞｮﾝ=]"; empty when missing.
  std::string GetProductVersion();

  // True when the block exists (read now or by an earlier call, even when
  // that read failed). A block that cannot be allocated is reported to the
  // user with "ﾒﾓﾘが不足しています。".
  bool LoadSupportInfo();

 protected:
  // The 30000-byte block, or null when memory is short.
  virtual std::unique_ptr<char[]> AllocateBlock();

 private:
  std::string FindValue(std::string_view marker);

  std::string applicationTitle_;
  std::string folder_;
  std::unique_ptr<char[]> block_;
  std::size_t dataSize_ = 0;  // bytes read from the file
};

}  // namespace taxlink

#endif  // TAXLINK_XML_SUPPORTINFOFILE_H_
