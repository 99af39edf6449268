#ifndef TAXLINK_XML_XMLTEXTWRITER_H_
#define TAXLINK_XML_XMLTEXTWRITER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {
class File;
}

namespace taxlink {

// Writes one complete XML line per call (depth tabs, the tag syntax, escaped
// text, CR LF) to a file object that the caller owns. Text is written byte
// for byte, so Shift_JIS reaches the file unchanged. Lines of any length are
// composed whole; nothing is truncated.
//
// Lines are gathered and reach the file kFlushBytes at a time, on Flush and
// on CloseFile (a report is a few hundred short lines: one system call each
// cost more than composing them). A write that fails closes the file but
// leaves it bound, so every later write fails as well; CloseFile unbinds it.
// No operation throws.
class XmlTextWriter {
 public:
  XmlTextWriter() = default;
  ~XmlTextWriter();  // CloseFile
  XmlTextWriter(const XmlTextWriter&) = delete;
  XmlTextWriter& operator=(const XmlTextWriter&) = delete;

  // Binds file and opens path for writing (created or truncated): 0 opened,
  // -1 failed (file or path missing, or the file cannot be created).
  int16_t OpenFile(platform::File* file, const char* path);
  // Binds a file that the caller has opened for writing; path names it.
  void BindFile(platform::File* file, const char* path);
  // Closes a bound file and unbinds it; always 0.
  int16_t CloseFile();

  // Gathered text passed to the file at once.
  static constexpr std::size_t kFlushBytes = std::size_t{16} * 1024;

  // Writes text as it is: 1 written (or gathered), 0 failed.
  int WriteText(std::string_view text);
  // Passes the gathered text to the file: false when the file is not open or
  // a write to it failed, now or before (a refused line does not count).
  bool Flush();
  // <name a1="v1" a2="v2"> at depth. An attribute is written only when both
  // its name and value are given, the second only after the first.
  int WriteStartTag(const char* name, uint16_t depth, const char* a1Name = nullptr,
                    const char* a1Value = nullptr, const char* a2Name = nullptr,
                    const char* a2Value = nullptr);
  // <name a1="v1" a2="v2">escaped value</name> at depth; a null value is
  // empty.
  int WriteElement(const char* name, const char* value, uint16_t depth,
                   const char* a1Name = nullptr, const char* a1Value = nullptr,
                   const char* a2Name = nullptr, const char* a2Value = nullptr);
  int WriteElement(const char* name, const std::string& value, uint16_t depth) {
    return WriteElement(name, value.c_str(), depth);
  }
  // </name> at depth.
  int WriteEndTag(const char* name, uint16_t depth);

  // The five XML special characters as entities; every other byte as it is
  // (Shift_JIS trail bytes never equal a special character).
  static std::string EscapeText(std::string_view text);
  // EscapeText's bytes appended to out.
  static void AppendEscaped(std::string* out, std::string_view text);
  // Whether text holds a character that XML 1.0 does not allow in a
  // document: a control character other than tab, line feed and carriage
  // return (Shift_JIS trail bytes are never below 0x40, so a byte below 0x20
  // is always such a character).
  static bool HoldsForbiddenCharacter(std::string_view text);

  bool IsBound() const { return file_ != nullptr; }
  const std::string& path() const { return path_; }
  // True when OpenFile failed since construction.
  bool openFailed() const { return openFailed_; }
  // True when a write (or the flush or closing of the file) failed since
  // OpenFile: the file on disk is incomplete.
  bool writeFailed() const { return writeFailed_; }
  // The element or attribute whose value held a character XML forbids, or
  // empty. Such a line is not written (and the write counts as failed), so
  // that no reader meets a document it must reject; later lines still are.
  const std::string& refusedName() const { return refusedName_; }

 private:
  // False (nothing appended) when a value holds a forbidden character.
  bool AppendAttributes(std::string* line, const char* a1Name, const char* a1Value,
                        const char* a2Name, const char* a2Value);
  // Appends the indent, "<name" and the attributes at start of the pending
  // text; false, with the text cut back to start, as AppendAttributes fails.
  bool AppendOpenTag(std::size_t start, const char* name, uint16_t depth, const char* a1Name,
                     const char* a1Value, const char* a2Name, const char* a2Value);
  int Fail();
  int Refuse(const char* name);
  // Ends a line composed in the gathered text from start (the tags compose
  // there, not in a string of their own: a report's lines each cost two or
  // three allocations so): 1, or 0 as WriteText fails.
  int EndLine(std::size_t start);

  platform::File* file_ = nullptr;
  std::string path_;
  std::string pending_;  // written, not yet passed to the file
  bool openFailed_ = false;
  bool writeFailed_ = false;
  std::string refusedName_;
};

}  // namespace taxlink

#endif  // TAXLINK_XML_XMLTEXTWRITER_H_
