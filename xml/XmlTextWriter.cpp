#include "xml/XmlTextWriter.h"

#include <exception>

#include "platform/winfs/File.h"

namespace taxlink {

XmlTextWriter::~XmlTextWriter() { CloseFile(); }

int16_t XmlTextWriter::OpenFile(platform::File* file, const char* path) {
  if (file == nullptr || path == nullptr) {
    openFailed_ = true;
    return -1;
  }
  try {
    path_ = path;
    file_ = file;
    pending_.clear();
    writeFailed_ = false;
    if (!file_->Open(path, platform::File::kCreate | platform::File::kWrite)) {
      openFailed_ = true;
      return -1;
    }
  } catch (...) {
    openFailed_ = true;
    return -1;
  }
  return 0;
}

void XmlTextWriter::BindFile(platform::File* file, const char* path) {
  CloseFile();
  file_ = file;
  path_ = path != nullptr ? path : "";
  pending_.clear();
  writeFailed_ = false;
}

int16_t XmlTextWriter::CloseFile() {
  if (file_ != nullptr) {
    Flush();
    if (file_->IsOpen()) {
      try {
        file_->Close();
      } catch (...) {
        // Data that did not reach the disk: the file is incomplete.
        writeFailed_ = true;
        file_->Abort();
      }
    }
    file_ = nullptr;
  }
  return 0;
}

int XmlTextWriter::Fail() {
  writeFailed_ = true;
  pending_.clear();
  if (file_ != nullptr) file_->Abort();
  return 0;
}

int XmlTextWriter::Refuse(const char* name) {
  writeFailed_ = true;
  if (refusedName_.empty()) refusedName_ = name;
  return 0;
}

int XmlTextWriter::WriteText(std::string_view text) {
  if (file_ == nullptr || !file_->IsOpen()) return Fail();
  try {
    pending_.append(text);
  } catch (...) {  // no memory for the line
    return Fail();
  }
  if (pending_.size() >= kFlushBytes && !Flush()) return 0;
  return 1;
}

bool XmlTextWriter::Flush() {
  if (file_ == nullptr || !file_->IsOpen()) {
    if (!pending_.empty()) Fail();
    return false;
  }
  if (!pending_.empty()) {
    try {
      file_->Write(pending_.data(), pending_.size());
    } catch (...) {
      Fail();
      return false;
    }
    pending_.clear();
  }
  return true;
}

bool XmlTextWriter::AppendAttributes(std::string* line, const char* a1Name, const char* a1Value,
                                     const char* a2Name, const char* a2Value) {
  if (a1Name == nullptr || a1Value == nullptr) return true;
  const char* names[2] = {a1Name, a2Name};
  const char* values[2] = {a1Value, a2Value};
  for (int i = 0; i < 2; ++i) {
    if (names[i] == nullptr || values[i] == nullptr) break;
    if (HoldsForbiddenCharacter(values[i])) {
      Refuse(names[i]);
      return false;
    }
    line->append(" ");
    line->append(names[i]);
    line->append("=\"");
    AppendEscaped(line, values[i]);
    line->append("\"");
  }
  return true;
}

bool XmlTextWriter::AppendOpenTag(std::size_t start, const char* name, uint16_t depth,
                                  const char* a1Name, const char* a1Value, const char* a2Name,
                                  const char* a2Value) {
  pending_.append(depth, '\t');
  pending_.append("<");
  pending_.append(name);
  if (AppendAttributes(&pending_, a1Name, a1Value, a2Name, a2Value)) return true;
  pending_.resize(start);
  return false;
}

int XmlTextWriter::WriteStartTag(const char* name, uint16_t depth, const char* a1Name,
                                 const char* a1Value, const char* a2Name, const char* a2Value) {
  if (name == nullptr) return Fail();
  const std::size_t start = pending_.size();
  try {
    if (!AppendOpenTag(start, name, depth, a1Name, a1Value, a2Name, a2Value)) return 0;
    pending_.append(">\r\n");
  } catch (...) {  // no memory for the line
    return Fail();
  }
  return EndLine(start);
}

int XmlTextWriter::WriteElement(const char* name, const char* value, uint16_t depth,
                                const char* a1Name, const char* a1Value, const char* a2Name,
                                const char* a2Value) {
  if (name == nullptr) return Fail();
  if (value != nullptr && HoldsForbiddenCharacter(value)) return Refuse(name);
  const std::size_t start = pending_.size();
  try {
    if (!AppendOpenTag(start, name, depth, a1Name, a1Value, a2Name, a2Value)) return 0;
    pending_.append(">");
    if (value != nullptr) AppendEscaped(&pending_, value);
    pending_.append("</");
    pending_.append(name);
    pending_.append(">\r\n");
  } catch (...) {
    return Fail();
  }
  return EndLine(start);
}

int XmlTextWriter::WriteEndTag(const char* name, uint16_t depth) {
  if (name == nullptr) return Fail();
  const std::size_t start = pending_.size();
  try {
    pending_.append(depth, '\t');
    pending_.append("</");
    pending_.append(name);
    pending_.append(">\r\n");
  } catch (...) {
    return Fail();
  }
  return EndLine(start);
}

int XmlTextWriter::EndLine(std::size_t start) {
  if (file_ == nullptr || !file_->IsOpen()) {
    pending_.resize(start);
    return Fail();
  }
  if (pending_.size() >= kFlushBytes && !Flush()) return 0;
  return 1;
}

std::string XmlTextWriter::EscapeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendEscaped(&out, text);
  return out;
}

void XmlTextWriter::AppendEscaped(std::string* out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&':
        out->append("&amp;");
        break;
      case '>':
        out->append("&gt;");
        break;
      case '<':
        out->append("&lt;");
        break;
      case '"':
        out->append("&quot;");
        break;
      case '\'':
        out->append("&apos;");
        break;
      default:
        out->push_back(c);
        break;
    }
  }
}

bool XmlTextWriter::HoldsForbiddenCharacter(std::string_view text) {
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 && c != '\t' && c != '\n' && c != '\r') return true;
  }
  return false;
}

}  // namespace taxlink
