#include "report/ReportFormat.h"

#include <algorithm>

namespace taxlink {

namespace {

using T = TaxSummaryTables;

ElementFormat Entry(const char* name, ValueKind kind) {
  ElementFormat entry;
  entry.name = name;
  entry.kind = kind;
  return entry;
}

ElementFormat Value(const char* name, ValueKind kind, const char* journal, const char* saved) {
  ElementFormat entry = Entry(name, kind);
  entry.journalSource = journal;
  entry.savedSource = saved;
  return entry;
}

ElementFormat Fixed(const char* name, const char* text) {
  ElementFormat entry = Value(name, ValueKind::kFixed, "fixed text", "fixed text");
  entry.fixed = text;
  return entry;
}

GroupFormat SystemGroup() {
  return GroupFormat{
      "SYSTEM",
      false,
      -1,
      -1,
      {Fixed("GYOUMUPREFIX", "SY26"), Fixed("VERSION", "1"),
       Value("FUNCTIONID", ValueKind::kInteger, "function id of the host's launch line (default 1)",
             "function id of the host's launch line (default 1)"),
       Value("CONNECTEDPROGRAMVER", ValueKind::kText, "string resource 1 (component version)",
             "string resource 1 (component version)"),
       Value("PROGRAMNAME", ValueKind::kText,
             "product name of SUPPORT.INF, else the edition's display name",
             "product name of SUPPORT.INF, else the edition's display name"),
       Value("PROGRAMVER", ValueKind::kText, "product version of SUPPORT.INF, else 18.00.0X",
             "product version of SUPPORT.INF, else 18.00.0X")}};
}

GroupFormat BasicGroup() {
  return GroupFormat{
      "BASIC",
      false,
      -1,
      -1,
      {Value("KOMONSAKINAME", ValueKind::kText,
             "company name of the data set, full-width, at most 32 bytes",
             "company name of the data set, full-width, at most 32 bytes"),
       Value("JIGYOUNENDOFROM", ValueKind::kInteger, "fiscal period start of the data set",
             "period start of the saved return"),
       Value("JIGYOUNENDOTO", ValueKind::kInteger, "fiscal period end of the data set",
             "period end of the saved return"),
       Value("HOUJINKOJINKUBUN", ValueKind::kCodeOrEmpty,
             "entity kind 0 or 1: 1 (corporation); 3 or 4: 2 (individual); other: empty",
             "entity kind 0 or 1: 1 (corporation); 3 or 4: 2 (individual); other: empty"),
       Value("KAZEIKUBUN", ValueKind::kCode, "filing class 2 (standard taxation): 1; else 2",
             "filing class 2 (standard taxation): 1; else 2"),
       Value("KEIKASHOCHIKAZEISHISAN", ValueKind::kCode,
             "1 when the 5 % or 3 % rows or the 3 % legacy-rate sum hold a figure, else 2",
             "transitional flag of the saved return: set 1, else 2"),
       Value("URIAGEZEIGAKUKEISAN", ValueKind::kCode, "always 1",
             "sales tax method of the saved return: 0 gives 1, else 2"),
       Value("SHIIREZEIGAKUKEISAN", ValueKind::kCodeOrEmpty, "standard taxation: 1; else empty",
             "standard taxation: purchase tax method of the saved return, 0 gives 1, else 2; "
             "else empty")}};
}

GroupFormat FormGroup(int topicIndex, int rateIndex) {
  const FormTopic& topic = FormTopics()[topicIndex];
  GroupFormat group{FormCode(topic, rateIndex), true, topicIndex, rateIndex, {}};
  for (const FormElement& element : topic.elements) {
    if (!element.HasRate(rateIndex)) continue;
    ElementFormat entry = Entry(ElementName(element, rateIndex).c_str(), ValueKind::kAmount);
    entry.form = &element;
    group.elements.push_back(entry);
  }
  return group;
}

ElementFormat Line(const char* name, ValueKind kind, RefundLine T::*line, int64_t RefundLine::*part,
                   int8_t savedIndex) {
  ElementFormat entry = Entry(name, kind);
  entry.statement = StatementFeed{line, part, nullptr, savedIndex};
  return entry;
}

ElementFormat Amount(const char* name, int64_t T::*amount, int8_t savedIndex) {
  ElementFormat entry = Entry(name, ValueKind::kAmount);
  entry.statement = StatementFeed{nullptr, nullptr, amount, savedIndex};
  return entry;
}

constexpr auto kBook = &RefundLine::bookAmount;
constexpr auto kNonTaxable = &RefundLine::nonTaxablePart;

GroupFormat Kanpuh() {
  constexpr ValueKind kA = ValueKind::kAmount;
  return GroupFormat{
      "KANPUH",
      true,
      -1,
      -1,
      {Value("KESSANZEIKUBUN", ValueKind::kCodeOrEmpty,
             "with an amount on the four lines: 1 when the data set books tax included "
             "(settings byte 5), else 2; otherwise empty",
             "with an amount on the eight line elements: code byte 9866 of the saved return, "
             "2 gives 2, else 1; otherwise empty"),
       Line("SHOHINSHIIRE1", kA, &T::corpMerchandisePurchases, kBook, 0),
       Line("SHOHINSHIIRE2", kA, &T::corpMerchandisePurchases, kNonTaxable, 1),
       Line("HANBAIIPPAN1", kA, &T::corpSellingAdminExpenses, kBook, 2),
       Line("HANBAIIPPAN2", kA, &T::corpSellingAdminExpenses, kNonTaxable, 3),
       Line("EIGYOGAIHIYOU1", kA, &T::corpNonOperatingExpenses, kBook, 4),
       Line("EIGYOGAIHIYOU2", kA, &T::corpNonOperatingExpenses, kNonTaxable, 5),
       Line("SONOTASONEKI1", kA, &T::corpOtherItems, kBook, 6),
       Line("SONOTASONEKI2", kA, &T::corpOtherItems, kNonTaxable, 7),
       Value("SHISANZEIKUBUN", ValueKind::kCodeOrEmpty,
             "with fixed or deferred asset acquisitions: as KESSANZEIKUBUN; otherwise empty",
             "with an amount on the six asset elements: code byte 9867 of the saved return, "
             "2 gives 2, else 1; otherwise empty"),
       Amount("KOTEISHISAN1", &T::corpFixedAssets, 8),
       Line("KOTEISHISAN2", kA, nullptr, nullptr, 9),
       Amount("KURINOBESHISAN1", &T::corpDeferredAssets, 10),
       Line("KURINOBESHISAN2", kA, nullptr, nullptr, 11),
       Line("SONOTASISAN1", kA, nullptr, nullptr, 12),
       Line("SONOTASISAN2", kA, nullptr, nullptr, 13)}};
}

GroupFormat Kanpuk() {
  constexpr ValueKind kZ = ValueKind::kAmountOrZero;
  return GroupFormat{
      "KANPUK",
      true,
      -1,
      -1,
      {Value("KESSANZEIKUBUN", ValueKind::kCodeOrEmpty,
             "with an amount on the eight individual lines: 1 when the data set books tax "
             "included (settings byte 5), else 2; otherwise empty",
             "with an amount on the sixteen elements: code byte 9865 of the saved return, "
             "2 gives 2, else 1; otherwise empty"),
       Line("JIGYOSHIIRE1", kZ, &T::indBusinessPurchases, kBook, 0),
       Line("JIGYOSHIIRE2", kZ, &T::indBusinessPurchases, kNonTaxable, 1),
       Line("JIGYOHITSUYOU1", kZ, &T::indBusinessExpenses, kBook, 2),
       Line("JIGYOHITSUYOU2", kZ, &T::indBusinessExpenses, kNonTaxable, 3),
       Line("JIGYOKOTEISHISAN1", kZ, &T::indBusinessFixedAssets, kBook, 4),
       Line("JIGYOKOTEISHISAN2", kZ, nullptr, nullptr, 5),
       Line("FUDOUSANHITSUYOU1", kZ, &T::indRealEstateExpenses, kBook, 6),
       Line("FUDOUSANHITSUYOU2", kZ, &T::indRealEstateExpenses, kNonTaxable, 7),
       Line("FUDOUSANKOTEISHISAN1", kZ, &T::indRealEstateFixedAssets, kBook, 8),
       Line("FUDOUSANKOTEISHISAN2", kZ, nullptr, nullptr, 9),
       Line("SONOTASHIIRE1", kZ, &T::indOtherPurchases, kBook, 10),
       Line("SONOTASHIIRE2", kZ, &T::indOtherPurchases, kNonTaxable, 11),
       Line("SONOTAHITSUYOU1", kZ, &T::indOtherExpenses, kBook, 12),
       Line("SONOTAHITSUYOU2", kZ, &T::indOtherExpenses, kNonTaxable, 13),
       Line("SONOTAKOTEISHISAN1", kZ, nullptr, nullptr, 14),
       Line("SONOTAKOTEISHISAN2", kZ, nullptr, nullptr, 15)}};
}

std::vector<GroupFormat> MakeFormat() {
  std::vector<GroupFormat> groups = {SystemGroup(), BasicGroup()};
  const int topics = static_cast<int>(FormTopics().size());
  for (int topic = 0; topic < topics; ++topic) {
    for (int rate = 0; rate < kRateGroups; ++rate) groups.push_back(FormGroup(topic, rate));
  }
  groups.push_back(Kanpuh());
  groups.push_back(Kanpuk());
  return groups;
}

}  // namespace

const std::vector<GroupFormat>& ReportFormat() {
  static const std::vector<GroupFormat> format = MakeFormat();
  return format;
}

const GroupFormat* FindGroup(const std::string& name) {
  const std::vector<GroupFormat>& groups = ReportFormat();
  auto it = std::find_if(groups.begin(), groups.end(),
                         [&name](const GroupFormat& g) { return g.name == name; });
  return it == groups.end() ? nullptr : &*it;
}

// The statements' groups on their own, the same as ReportFormat's: a run
// writes them without building the whole table (some 400 elements).
const GroupFormat& KanpuhFormat() {
  static const GroupFormat group = Kanpuh();
  return group;
}
const GroupFormat& KanpukFormat() {
  static const GroupFormat group = Kanpuk();
  return group;
}

int RatePercent(int rateIndex) {
  static constexpr int kPercents[kRateGroups] = {8, 5, 3};
  return kPercents[rateIndex];
}

}  // namespace taxlink
