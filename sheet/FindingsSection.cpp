#include "sheet/FindingsSection.h"

#include <string>

namespace taxlink::sheet {

namespace {

// "データ 7、4月～3月" or less, as far as the findings name them.
std::string WhatWasChecked(const CheckFindings& findings) {
  std::string text;
  if (findings.dataSet != 0) text = "データ " + std::to_string(findings.dataSet);
  if (findings.startMonth != 0) {
    text += (text.empty() ? "" : "、") + std::to_string(findings.startMonth) + "月～" +
            std::to_string(findings.endMonth) + "月";
  }
  return text;
}

// The rest of the sheet is made from the report alone; this section is not.
constexpr char kSource[] =
    "この節は報告ファイルではなく、会計データを mvhost check で確かめた結果です。";

}  // namespace

Section FindingsSection(const CheckFindings& findings) {
  Section section{"findings", "帳簿のチェック"};
  const std::string checked = WhatWasChecked(findings);
  const std::string about = checked.empty() ? "" : "（" + checked + "）";
  if (!findings.checked) {
    section.notes.push_back("帳簿のチェックができませんでした" + about + ": " + findings.error);
    section.notes.push_back(kSource);
    return section;
  }
  if (findings.total == 0) {
    section.notes.push_back("指摘はありません" + about + "。");
    section.notes.push_back(kSource);
    return section;
  }
  section.notes.push_back(
      "指摘 " + std::to_string(findings.total) + " 件" + about +
      "。数値に影響する記帳の誤りの疑いです。申告の前に帳簿を確かめてください。");
  section.notes.push_back(kSource);

  Table counts{"facts", {{Cell{"ルール"}, Cell{"件数"}}}};
  counts.widths = {80, 20};
  for (const auto& [rule, count] : findings.counts) {
    counts.rows.push_back(
        Row{"findings/count/" + rule, {Cell{rule, "label"}, Cell{std::to_string(count), "num"}}});
  }

  Table rows{"figures", {{Cell{"ルール"}, Cell{"場所"}, Cell{"内容"}, Cell{"対処"}}}};
  rows.widths = {17, 17, 40, 26};
  for (size_t i = 0; i < findings.rows.size(); ++i) {
    const FindingRow& finding = findings.rows[i];
    rows.rows.push_back(
        Row{"findings/" + std::to_string(i + 1),
            {Cell{finding.rule}, Cell{finding.place}, Cell{finding.what}, Cell{finding.todo}}});
  }
  const int64_t listed = static_cast<int64_t>(findings.rows.size());
  if (listed < findings.total) {
    std::string all = "mvhost check";
    if (findings.dataSet != 0) all += " " + std::to_string(findings.dataSet);
    if (findings.startMonth != 0) {
      all += " --months " + std::to_string(findings.startMonth) + "-" +
             std::to_string(findings.endMonth);
    }
    rows.note = "最初の " + std::to_string(listed) + " 件を表示（全件は " + all + "）";
  }
  // Moved in: a list would copy every finding's cells.
  section.tables.push_back(std::move(counts));
  section.tables.push_back(std::move(rows));
  return section;
}

}  // namespace taxlink::sheet
