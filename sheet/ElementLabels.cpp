// Labels are UTF-8: this folder is compiled with the UTF-8 execution
// character set (sheet/CMakeLists.txt).
#include "sheet/ElementLabels.h"

#include <algorithm>
#include <span>

namespace taxlink::sheet {

namespace {

constexpr ElementLabel kLabels[] = {
    // SYSTEM
    {"GYOUMUPREFIX", "業務識別"},
    {"VERSION", "連動データの版"},
    {"FUNCTIONID", "機能ID"},
    {"CONNECTEDPROGRAMVER", "連動プログラムの版"},
    {"PROGRAMNAME", "会計プログラム"},
    {"PROGRAMVER", "会計プログラムの版"},
    // BASIC
    {"KOMONSAKINAME", "顧問先名"},
    {"JIGYOUNENDOFROM", "事業年度 自"},
    {"JIGYOUNENDOTO", "事業年度 至"},
    {"HOUJINKOJINKUBUN", "法人・個人の区分"},
    {"KAZEIKUBUN", "課税方式"},
    {"KEIKASHOCHIKAZEISHISAN", "経過措置対象の課税資産の譲渡等"},
    {"URIAGEZEIGAKUKEISAN", "売上税額の計算方法"},
    {"SHIIREZEIGAKUKEISAN", "仕入税額の計算方法"},
    // Sales
    {"KAZEIURIAGEZEINUKI", "課税売上 税抜"},
    {"KAZEIURIAGEZEIGAKU", "課税売上 税額"},
    {"KAZEIURIAGEZEIKOMI", "課税売上 税込"},
    {"MENZEIURIAGEZEINUKI", "免税売上（輸出等）"},
    {"HIKAZEIURIAGEYUUKAZEINUKI", "非課税売上 有価証券等の譲渡"},
    {"HIKAZEIURIAGEYUUKAIGAIZEINUKI", "非課税売上 有価証券等以外"},
    {"HIKAZEISHISANYUSHUTSUZEINUKI", "非課税資産の輸出等"},
    {"KAZEIURIAGEHENKANZEINUKI", "課税売上の返還等 税抜"},
    {"KAZEIURIAGEHENKANZEIGAKU", "課税売上の返還等 税額"},
    {"KAZEIURIAGEHENKANZEIKOMI", "課税売上の返還等 税込"},
    {"MENZEIURIAGEHENKANZEINUKI", "免税売上の返還等"},
    {"HIKAZEIURIAGEHENKANZEINUKI", "非課税売上の返還等"},
    {"HIKAZEISHISANHENKANZEINUKI", "非課税資産の輸出等の返還等"},
    // Purchases
    {"SHIIREKAZEIZEINUKI", "課税仕入 課税売上対応 税抜"},
    {"SHIIREKAZEIZEIGAKU", "課税仕入 課税売上対応 税額"},
    {"SHIIREKAZEIZEIKOMI", "課税仕入 課税売上対応 税込"},
    {"SHIIREHIKAZEIZEINUKI", "課税仕入 非課税売上対応 税抜"},
    {"SHIIREHIKAZEIZEIGAKU", "課税仕入 非課税売上対応 税額"},
    {"SHIIREHIKAZEIZEIKOMI", "課税仕入 非課税売上対応 税込"},
    {"SHIIREKYOTUUZEINUKI", "課税仕入 共通対応 税抜"},
    {"SHIIREKYOTUUZEIGAKU", "課税仕入 共通対応 税額"},
    {"SHIIREKYOTUUZEIKOMI", "課税仕入 共通対応 税込"},
    {"TOKUTEISHIIREKAZEIZEINUKI", "特定課税仕入 課税売上対応"},
    {"TOKUTEISHIIREHIKAZEIZEINUKI", "特定課税仕入 非課税売上対応"},
    {"TOKUTEISHIIREKYOTUUZEINUKI", "特定課税仕入 共通対応"},
    {"YUNYUSHIIREKAZEIZEIGAKU", "輸入仕入 国税 課税売上対応"},
    {"YUNYUSHIIREHIKAZEIZEIGAKU", "輸入仕入 国税 非課税売上対応"},
    {"YUNYUSHIIREKYOTUUZEIGAKU", "輸入仕入 国税 共通対応"},
    {"YUNYUSHIIRETIHO", "輸入仕入 地方消費税（貨物割）"},
    {"SHIIREHENKANKAZEIZEINUKI", "仕入の返還等 課税売上対応 税抜"},
    {"SHIIREHENKANKAZEIZEIGAKU", "仕入の返還等 課税売上対応 税額"},
    {"SHIIREHENKANKAZEIZEIKOMI", "仕入の返還等 課税売上対応 税込"},
    {"SHIIREHENKANHIKAZEIZEINUKI", "仕入の返還等 非課税売上対応 税抜"},
    {"SHIIREHENKANHIKAZEIZEIGAKU", "仕入の返還等 非課税売上対応 税額"},
    {"SHIIREHENKANHIKAZEIZEIKOMI", "仕入の返還等 非課税売上対応 税込"},
    {"SHIIREHENKANKYOTUUZEINUKI", "仕入の返還等 共通対応 税抜"},
    {"SHIIREHENKANKYOTUUZEIGAKU", "仕入の返還等 共通対応 税額"},
    {"SHIIREHENKANKYOTUUZEIKOMI", "仕入の返還等 共通対応 税込"},
    {"TOKUTEISHIIREHENKANKAZEIZEINUKI", "特定課税仕入の返還等 課税売上対応"},
    {"TOKUTEISHIIREHENKANHIKAZEIZEINUKI", "特定課税仕入の返還等 非課税売上対応"},
    {"TOKUTEISHIIREHENKANKYOTUUZEINUKI", "特定課税仕入の返還等 共通対応"},
    {"YUNYUHENKANKAZEIZEIGAKU", "輸入仕入の還付 国税 課税売上対応"},
    {"YUNYUHENKANHIKAZEIZEIGAKU", "輸入仕入の還付 国税 非課税売上対応"},
    {"YUNYUHENKANKYOTUUZEIGAKU", "輸入仕入の還付 国税 共通対応"},
    {"YUNYUHENKANTIHO", "輸入仕入の還付 地方消費税（貨物割）"},
    // Bad debts
    {"KASHIDAOREZEINUKI", "貸倒れ 税抜"},
    {"KASHIDAOREZEIGAKU", "貸倒れ 税額"},
    {"KASHIDAOREZEIKOMI", "貸倒れ 税込"},
    {"KASHIDAOREKAISHUZEINUKI", "貸倒回収 税抜"},
    {"KASHIDAOREKAISHUZEIGAKU", "貸倒回収 税額"},
    {"KASHIDAOREKAISHUZEIKOMI", "貸倒回収 税込"},
    // Adjustments
    {"GIMUMENJOKAZEI", "納税義務の免除の変更による調整 課税売上対応"},
    {"GIMUMENJOHIKAZEI", "納税義務の免除の変更による調整 非課税売上対応"},
    {"GIMUMENJOKYOTUU", "納税義務の免除の変更による調整 共通対応"},
    {"KAZEIURIAGEWARIAIHENDO", "課税売上割合の著しい変動による調整"},
    {"KAZEIGYOMUYOTENYO", "課税業務用・非課税業務用の転用による調整"},
    // Taxable sales by business type
    {"KAZEIURIAGE1SHUZEINUKI", "第一種事業 課税売上 税抜"},
    {"KAZEIURIAGE1SHUZEIGAKU", "第一種事業 課税売上 税額"},
    {"KAZEIURIAGE1SHUZEIKOMI", "第一種事業 課税売上 税込"},
    {"KAZEIURIAGE2SHUZEINUKI", "第二種事業 課税売上 税抜"},
    {"KAZEIURIAGE2SHUZEIGAKU", "第二種事業 課税売上 税額"},
    {"KAZEIURIAGE2SHUZEIKOMI", "第二種事業 課税売上 税込"},
    {"KAZEIURIAGE3SHUZEINUKI", "第三種事業 課税売上 税抜"},
    {"KAZEIURIAGE3SHUZEIGAKU", "第三種事業 課税売上 税額"},
    {"KAZEIURIAGE3SHUZEIKOMI", "第三種事業 課税売上 税込"},
    {"KAZEIURIAGE4SHUZEINUKI", "第四種事業 課税売上 税抜"},
    {"KAZEIURIAGE4SHUZEIGAKU", "第四種事業 課税売上 税額"},
    {"KAZEIURIAGE4SHUZEIKOMI", "第四種事業 課税売上 税込"},
    {"KAZEIURIAGE5SHUZEINUKI", "第五種事業 課税売上 税抜"},
    {"KAZEIURIAGE5SHUZEIGAKU", "第五種事業 課税売上 税額"},
    {"KAZEIURIAGE5SHUZEIKOMI", "第五種事業 課税売上 税込"},
    {"KAZEIURIAGE6SHUZEINUKI", "第六種事業 課税売上 税抜"},
    {"KAZEIURIAGE6SHUZEIGAKU", "第六種事業 課税売上 税額"},
    {"KAZEIURIAGE6SHUZEIKOMI", "第六種事業 課税売上 税込"},
    {"KAZEIURIAGEZEROZEINUKI", "事業区分なし 課税売上 税抜"},
    {"KAZEIURIAGEZEROZEIGAKU", "事業区分なし 課税売上 税額"},
    {"KAZEIURIAGEZEROZEIKOMI", "事業区分なし 課税売上 税込"},
    // Sales returns by business type
    {"KAZEIHENKAN1SHUZEINUKI", "第一種事業 売上の返還等 税抜"},
    {"KAZEIHENKAN1SHUZEIGAKU", "第一種事業 売上の返還等 税額"},
    {"KAZEIHENKAN1SHUZEIKOMI", "第一種事業 売上の返還等 税込"},
    {"KAZEIHENKAN2SHUZEINUKI", "第二種事業 売上の返還等 税抜"},
    {"KAZEIHENKAN2SHUZEIGAKU", "第二種事業 売上の返還等 税額"},
    {"KAZEIHENKAN2SHUZEIKOMI", "第二種事業 売上の返還等 税込"},
    {"KAZEIHENKAN3SHUZEINUKI", "第三種事業 売上の返還等 税抜"},
    {"KAZEIHENKAN3SHUZEIGAKU", "第三種事業 売上の返還等 税額"},
    {"KAZEIHENKAN3SHUZEIKOMI", "第三種事業 売上の返還等 税込"},
    {"KAZEIHENKAN4SHUZEINUKI", "第四種事業 売上の返還等 税抜"},
    {"KAZEIHENKAN4SHUZEIGAKU", "第四種事業 売上の返還等 税額"},
    {"KAZEIHENKAN4SHUZEIKOMI", "第四種事業 売上の返還等 税込"},
    {"KAZEIHENKAN5SHUZEINUKI", "第五種事業 売上の返還等 税抜"},
    {"KAZEIHENKAN5SHUZEIGAKU", "第五種事業 売上の返還等 税額"},
    {"KAZEIHENKAN5SHUZEIKOMI", "第五種事業 売上の返還等 税込"},
    {"KAZEIHENKAN6SHUZEINUKI", "第六種事業 売上の返還等 税抜"},
    {"KAZEIHENKAN6SHUZEIGAKU", "第六種事業 売上の返還等 税額"},
    {"KAZEIHENKAN6SHUZEIKOMI", "第六種事業 売上の返還等 税込"},
    {"KAZEIHENKANZEROZEINUKI", "事業区分なし 売上の返還等 税抜"},
    {"KAZEIHENKANZEROZEIGAKU", "事業区分なし 売上の返還等 税額"},
    {"KAZEIHENKANZEROZEIKOMI", "事業区分なし 売上の返還等 税込"},
    // KANPUH: the corporate refund statement, purchases and assets
    {"SHOHINSHIIRE", "損益科目 商品仕入高等"},
    {"HANBAIIPPAN", "損益科目 販売費・一般管理費"},
    {"EIGYOGAIHIYOU", "損益科目 営業外費用"},
    {"SONOTASONEKI", "損益科目 その他"},
    {"KOTEISHISAN", "資産科目 固定資産"},
    {"KURINOBESHISAN", "資産科目 繰延資産"},
    {"SONOTASISAN", "資産科目 その他"},
    {"SHISANZEIKUBUN", "資産科目の決算額 税込・税抜の別"},
    // KANPUH and KANPUK
    {"KESSANZEIKUBUN", "決算額 税込・税抜の別"},
    // KANPUK: the individual refund statement
    {"JIGYOSHIIRE", "事業所得 仕入金額"},
    {"JIGYOHITSUYOU", "事業所得 必要経費"},
    {"JIGYOKOTEISHISAN", "事業所得 固定資産等の取得価額"},
    {"FUDOUSANHITSUYOU", "不動産所得 必要経費"},
    {"FUDOUSANKOTEISHISAN", "不動産所得 固定資産等の取得価額"},
    {"SONOTASHIIRE", "その他の所得 仕入金額"},
    {"SONOTAHITSUYOU", "その他の所得 必要経費"},
    {"SONOTAKOTEISHISAN", "その他の所得 固定資産等の取得価額"},
};

struct GroupTitleEntry {
  const char* group;
  const char* title;
};

constexpr GroupTitleEntry kGroupTitles[] = {
    {"SYSTEM", "連動データ"},
    {"BASIC", "基本情報"},
    {"D02011", "売上"},
    {"D02012", "仕入"},
    {"D02013", "貸倒れ"},
    {"D0220", "調整"},
    {"D02021", "事業区分別 課税売上（簡易課税用）"},
    {"D02022", "事業区分別 売上の返還等（簡易課税用）"},
    {"D02023", "貸倒れ（簡易課税用）"},
    {"KANPUH", "還付申告に関する明細書（法人） 課税仕入れ等の明細"},
    {"KANPUK", "還付申告に関する明細書（個人） 課税仕入れ等の明細"},
};

struct CodeEntry {
  const char* element;
  const char* one;
  const char* two;
};

constexpr CodeEntry kCodes[] = {
    {"HOUJINKOJINKUBUN", "法人", "個人"},
    {"KAZEIKUBUN", "原則課税", "簡易課税"},
    {"KEIKASHOCHIKAZEISHISAN", "あり", "なし"},
    {"URIAGEZEIGAKUKEISAN", "割戻し計算", "積上げ計算"},
    {"SHIIREZEIGAKUKEISAN", "割戻し計算", "積上げ計算"},
    {"KESSANZEIKUBUN", "税込", "税抜"},
    {"SHISANZEIKUBUN", "税込", "税抜"},
};

// Form groups are named by their code stem plus one rate digit.
bool IsFormGroup(std::string_view group) {
  return group.size() >= 2 && group[0] == 'D' && group[1] == '0';
}

}  // namespace

const char* LabelOf(std::string_view key) {
  auto it = std::find_if(std::begin(kLabels), std::end(kLabels),
                         [key](const ElementLabel& l) { return key == l.key; });
  return it == std::end(kLabels) ? nullptr : it->label;
}

const char* LabelOfElement(std::string_view group, std::string_view element) {
  if (element.empty()) return nullptr;
  const bool statement = group == "KANPUH" || group == "KANPUK";
  const char last = element.back();
  if (IsFormGroup(group) || (statement && (last == '1' || last == '2'))) {
    element.remove_suffix(1);
  }
  return LabelOf(element);
}

const char* GroupTitle(std::string_view group) {
  auto it = std::find_if(std::begin(kGroupTitles), std::end(kGroupTitles),
                         [group](const GroupTitleEntry& g) { return group == g.group; });
  return it == std::end(kGroupTitles) ? nullptr : it->title;
}

const char* CodeMeaning(std::string_view element, std::string_view code) {
  auto it = std::find_if(std::begin(kCodes), std::end(kCodes),
                         [element](const CodeEntry& c) { return element == c.element; });
  if (it == std::end(kCodes)) return nullptr;
  if (code == "1") return it->one;
  if (code == "2") return it->two;
  return nullptr;
}

const char* StatementColumnTitle(int column) {
  return column == 1 ? "決算額" : "うち課税仕入れにならないもの";
}

std::span<const ElementLabel> AllLabels() { return kLabels; }

}  // namespace taxlink::sheet
