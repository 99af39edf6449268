#include "report/ReportSchema.h"

#include "report/ReportFormat.h"

namespace taxlink {

namespace {

// The simple types of the element texts. Patterns spell out [0-9], since
// \d would also take full-width and other digits.
constexpr char kSimpleTypes[] =
    "  <xs:simpleType name=\"amount\">\n"
    "    <xs:annotation><xs:documentation>Whole yen: decimal digits without separators or\n"
    "      leading zeros, \"-\" before a negative amount; empty for zero.</xs:documentation>\n"
    "    </xs:annotation>\n"
    "    <xs:restriction base=\"xs:string\">\n"
    "      <xs:pattern value=\"(-?[1-9][0-9]{0,18})?\"/>\n"
    "    </xs:restriction>\n"
    "  </xs:simpleType>\n"
    "  <xs:simpleType name=\"amountOrZero\">\n"
    "    <xs:annotation><xs:documentation>An amount, or \"0\" for zero.</xs:documentation>\n"
    "    </xs:annotation>\n"
    "    <xs:restriction base=\"xs:string\">\n"
    "      <xs:pattern value=\"(0|-?[1-9][0-9]{0,18})?\"/>\n"
    "    </xs:restriction>\n"
    "  </xs:simpleType>\n"
    "  <xs:simpleType name=\"code\">\n"
    "    <xs:restriction base=\"xs:string\">\n"
    "      <xs:enumeration value=\"1\"/>\n"
    "      <xs:enumeration value=\"2\"/>\n"
    "    </xs:restriction>\n"
    "  </xs:simpleType>\n"
    "  <xs:simpleType name=\"codeOrEmpty\">\n"
    "    <xs:restriction base=\"xs:string\">\n"
    "      <xs:enumeration value=\"\"/>\n"
    "      <xs:enumeration value=\"1\"/>\n"
    "      <xs:enumeration value=\"2\"/>\n"
    "    </xs:restriction>\n"
    "  </xs:simpleType>\n"
    "  <xs:simpleType name=\"integer\">\n"
    "    <xs:annotation><xs:documentation>A signed 32-bit decimal (dates as yyyymmdd, the\n"
    "      function id).</xs:documentation></xs:annotation>\n"
    "    <xs:restriction base=\"xs:string\">\n"
    "      <xs:pattern value=\"0|-?[1-9][0-9]{0,9}\"/>\n"
    "    </xs:restriction>\n"
    "  </xs:simpleType>\n"
    "  <xs:simpleType name=\"text\">\n"
    "    <xs:restriction base=\"xs:string\"/>\n"
    "  </xs:simpleType>\n";

const char* TypeName(ValueKind kind) {
  switch (kind) {
    case ValueKind::kAmount:
      return "amount";
    case ValueKind::kAmountOrZero:
      return "amountOrZero";
    case ValueKind::kCode:
      return "code";
    case ValueKind::kCodeOrEmpty:
      return "codeOrEmpty";
    case ValueKind::kInteger:
      return "integer";
    case ValueKind::kText:
    case ValueKind::kFixed:
      break;
  }
  return "text";
}

void AppendElement(std::string& out, const ElementFormat& element) {
  if (element.kind != ValueKind::kFixed) {
    out += "      <xs:element name=\"" + element.name + "\" type=\"" + TypeName(element.kind) +
           "\"/>\n";
    return;
  }
  // An enumeration rather than the fixed attribute, which would also let an
  // empty element through (it would take the fixed text as its default).
  out += "      <xs:element name=\"" + element.name +
         "\">\n"
         "        <xs:simpleType>\n"
         "          <xs:restriction base=\"xs:string\">\n"
         "            <xs:enumeration value=\"" +
         std::string(element.fixed) +
         "\"/>\n"
         "          </xs:restriction>\n"
         "        </xs:simpleType>\n"
         "      </xs:element>\n";
}

void AppendSequenceType(std::string& out, const std::string& name,
                        const std::vector<std::string>& children) {
  out += "  <xs:complexType name=\"" + name + "\">\n    <xs:sequence>\n";
  for (const std::string& child : children) {
    out += "      <xs:element name=\"" + child + "\" type=\"" + child + "\"/>\n";
  }
  out += "    </xs:sequence>\n  </xs:complexType>\n";
}

}  // namespace

std::string ReportSchemaText() {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<!-- The consumption-tax report file. Made from the format table\n"
      "     (report/ReportFormat.cpp); do not edit by hand. -->\n"
      "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">\n"
      "  <xs:element name=\"REPORT\" type=\"REPORT\"/>\n";
  std::vector<std::string> top, data;
  for (const GroupFormat& group : ReportFormat()) (group.inData ? data : top).push_back(group.name);
  top.push_back("DATA");
  AppendSequenceType(out, "REPORT", top);
  AppendSequenceType(out, "DATA", data);
  for (const GroupFormat& group : ReportFormat()) {
    out += "  <xs:complexType name=\"" + group.name + "\">\n    <xs:sequence>\n";
    for (const ElementFormat& element : group.elements) AppendElement(out, element);
    out += "    </xs:sequence>\n  </xs:complexType>\n";
  }
  out += kSimpleTypes;
  out += "</xs:schema>\n";
  return out;
}

}  // namespace taxlink
