#include "mvhost/lib/HostMessages.h"

#include <string>

#include "host/ClAccConnect.h"
#include "mvhost/lib/DerivedDataCheck.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostSession.h"
#include "mvhost/lib/RecordText.h"
#include "platform/text/Encoding.h"

namespace mvhost {

std::string HostErrorText(int32_t code) {
  std::string text;
  if (code == kErrCreateFailed) {
    text = "処理に必要なオブジェクトを作成できませんでした。";
  } else if (code <= kErrFilterField && code >= kErrFilterLink) {
    text = "集計条件の指定に誤りがあります。";
  } else if (code == kErrSqlBusy || code == kErrSqlLocked) {
    text = "会計データは他の処理で使用中です。\nしばらくしてから、もう一度実行してください。";
  } else if (code == kErrSqlCorrupt || code == kErrSqlNotADb) {
    text = "会計データが破損しています。";
  } else if (code == kErrSqlFull) {
    text = "ディスクの空き容量が不足しているため、会計データを読み書きできません。";
  } else if (code <= kErrSqlBase && code >= kErrSqlLowest) {
    text = "会計データの読み込み中にデータベースのエラーが発生しました。";
  } else if (code == kErrLinesLeftOut) {
    text = "集計できない税率または税区分の仕訳があるため、集計できません。";
  } else if (code == kErrBadStoreText) {
    text = "会計データに、処理できない文字を含むデータがあります。\n" + LastStoreTextRecord();
  } else if (code == kErrDamagedDerived) {
    text = "会計データの仕訳データが破損しているため、集計できません。\n" +
           LastDamagedDerivedRecord();
  } else if (code == kErrNoStore || code == kErrDamagedStore) {
    text = "会計データが見つからないか、破損しています。";
  } else if (code == kErrNoDataSet || code == kErrNoUser) {
    text = "選択されている会計データがありません。";
  } else {
    text = "会計システムでエラーが発生しました。";
  }
  text += "\n\nエラーコード: ";
  text += std::to_string(code);
  return text;
}

std::string HostCaption() {
  const char* caption = ClAccConnect::Inst()->caption;
  if (caption != nullptr && caption[0] != '\0') return caption;
  return "会計システム";
}

std::string FilingApplicationName() {
  int32_t status = 0;
  sqlite3* db = HostSession::Db(&status);
  std::string name;
  if (db != nullptr && HostSession::StateValue(db, "filing_app_name", &name) && !name.empty()) {
    return platform::Utf8ToCp932(name);
  }
  return "Velzo消費税申告";
}

}  // namespace mvhost
