#include "sheet/ReportReader.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlschemas.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "report/ReportSchema.h"

namespace taxlink::sheet {

namespace {

constexpr std::size_t kLargestReport = std::size_t{16} * 1024 * 1024;

// The first error libxml2 reports through a structured handler.
struct FirstError {
  bool seen = false;
  ReportProblem problem;
};

void KeepFirstError(void* context, xmlErrorPtr error) {
  auto* first = static_cast<FirstError*>(context);
  if (first->seen || error == nullptr || error->level < XML_ERR_ERROR) return;
  first->seen = true;
  first->problem.line = error->line;
  std::string message = error->message != nullptr ? error->message : "unknown error";
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) {
    message.pop_back();
  }
  first->problem.message = message;
}

// Installs the handler for libxml2's parser errors for its lifetime.
class ErrorScope {
 public:
  explicit ErrorScope(FirstError* first) { xmlSetStructuredErrorFunc(first, KeepFirstError); }
  ~ErrorScope() { xmlSetStructuredErrorFunc(nullptr, nullptr); }
  ErrorScope(const ErrorScope&) = delete;
  ErrorScope& operator=(const ErrorScope&) = delete;
};

struct DocDeleter {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocDeleter>;

// The compiled schema, made once from the format table.
xmlSchemaPtr ReportSchema() {
  static xmlSchemaPtr schema = [] {
    const std::string text = ReportSchemaText();
    xmlSchemaParserCtxtPtr parser =
        xmlSchemaNewMemParserCtxt(text.data(), static_cast<int>(text.size()));
    xmlSchemaPtr compiled = xmlSchemaParse(parser);
    xmlSchemaFreeParserCtxt(parser);
    return compiled;
  }();
  return schema;
}

bool Fail(ReportProblem* problem, int line, std::string message) {
  problem->line = line;
  problem->message = std::move(message);
  return false;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The encoding named by the XML declaration at the start of the bytes;
// false when there is no declaration.
bool DeclaredEncoding(std::string_view bytes, std::string* encoding) {
  if (bytes.substr(0, 6) != "<?xml ") return false;
  const std::size_t end = bytes.find("?>");
  if (end == std::string_view::npos) return false;
  const std::string_view declaration = bytes.substr(0, end);
  std::size_t at = declaration.find("encoding=");
  if (at == std::string_view::npos || at + 10 > declaration.size()) {
    encoding->clear();
    return true;
  }
  const char quote = declaration[at + 9];
  const std::size_t close = declaration.find(quote, at + 10);
  if ((quote != '"' && quote != '\'') || close == std::string_view::npos) return false;
  *encoding = std::string(declaration.substr(at + 10, close - at - 10));
  return true;
}

int LineOf(std::string_view bytes, std::size_t offset) {
  return 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + offset, '\n'));
}

std::string Name(const xmlNode* node) { return reinterpret_cast<const char*>(node->name); }

std::string TextOf(const xmlNode* node) {
  xmlChar* content = xmlNodeGetContent(node);
  std::string text = content != nullptr ? reinterpret_cast<const char*>(content) : "";
  xmlFree(content);
  return text;
}

ReportGroup GroupOf(const xmlNode* groupNode) {
  ReportGroup group{Name(groupNode), {}};
  for (const xmlNode* e = groupNode->children; e != nullptr; e = e->next) {
    if (e->type == XML_ELEMENT_NODE) group.elements.push_back({Name(e), TextOf(e)});
  }
  return group;
}

// The groups of a document that validated: SYSTEM, BASIC and the children
// of DATA.
void Collect(const xmlDoc* doc, ReportContent* content) {
  content->groups.clear();
  const xmlNode* root = xmlDocGetRootElement(doc);
  for (const xmlNode* section = root->children; section != nullptr; section = section->next) {
    if (section->type != XML_ELEMENT_NODE) continue;
    if (Name(section) != "DATA") {
      content->groups.push_back(GroupOf(section));
      continue;
    }
    for (const xmlNode* g = section->children; g != nullptr; g = g->next) {
      if (g->type == XML_ELEMENT_NODE) content->groups.push_back(GroupOf(g));
    }
  }
}

}  // namespace

std::string ReportProblem::Text() const {
  return line > 0 ? "line " + std::to_string(line) + ": " + message : message;
}

void PrepareReportReading() { ReportSchema(); }

bool ParseReport(std::string_view bytes, ReportContent* content, ReportProblem* problem) {
  std::string encoding;
  if (!DeclaredEncoding(bytes, &encoding)) {
    return Fail(problem, 1,
                "no XML declaration; a report begins with "
                "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>");
  }
  if (encoding.empty()) {
    return Fail(problem, 1, "the XML declaration names no encoding; a report is Shift_JIS");
  }
  if (Lower(encoding) != "shift_jis") {
    return Fail(problem, 1, "the declared encoding is \"" + encoding + "\"; a report is Shift_JIS");
  }
  const std::size_t doctype = bytes.find("<!DOCTYPE");
  if (doctype != std::string_view::npos) {
    return Fail(problem, LineOf(bytes, doctype), "a document type declaration; a report has none");
  }

  // A report is some 30 KB; libxml2 takes sizes as int.
  if (bytes.size() > kLargestReport) {
    return Fail(problem, 0, "too large for a report (" + std::to_string(bytes.size()) + " bytes)");
  }

  FirstError first;
  DocPtr doc;
  {
    ErrorScope scope(&first);
    // Code page 932 rather than the declared Shift_JIS: the program's text is
    // CP932, whose characters (①, 髙, ～ as U+FF5E) strict Shift_JIS lacks or
    // reads otherwise.
    doc.reset(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "report", "CP932",
                            XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
  }
  if (first.seen) {
    *problem = first.problem;
    return false;
  }
  if (!doc) return Fail(problem, 0, "not an XML document");
  if (doc->intSubset != nullptr || doc->extSubset != nullptr) {
    return Fail(problem, 0, "a document type declaration; a report has none");
  }

  xmlSchemaPtr schema = ReportSchema();
  if (schema == nullptr) return Fail(problem, 0, "the report schema cannot be compiled");
  xmlSchemaValidCtxtPtr validator = xmlSchemaNewValidCtxt(schema);
  xmlSchemaSetValidStructuredErrors(validator, KeepFirstError, &first);
  const int status = xmlSchemaValidateDoc(validator, doc.get());
  xmlSchemaFreeValidCtxt(validator);
  if (first.seen) {
    *problem = first.problem;
    return false;
  }
  if (status != 0) return Fail(problem, 0, "the report does not match its schema");
  Collect(doc.get(), content);
  return true;
}

bool ReadReportFile(const std::string& path, ReportContent* content, ReportProblem* problem) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Fail(problem, 0, "cannot be read: " + std::string(std::strerror(errno)));
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) return Fail(problem, 0, "cannot be read");
  return ParseReport(bytes.str(), content, problem);
}

}  // namespace taxlink::sheet
