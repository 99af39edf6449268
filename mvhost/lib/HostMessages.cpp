#include "mvhost/lib/HostMessages.h"

#include <string>

#include "host/ClAccConnect.h"
#include "mvhost/lib/DerivedDataCheck.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostSession.h"
#include "mvhost/lib/RecordText.h"
#include "platform/text/Encoding.h"
#include "resources/Texts.h"

namespace mvhost {

std::string HostErrorText(int32_t code) {
  std::string text;
  if (code == kErrCreateFailed) {
    text = taxlink::texts::kHostNotCreated;
  } else if (code <= kErrFilterField && code >= kErrFilterLink) {
    text = taxlink::texts::kHostBadConditions;
  } else if (code == kErrSqlBusy || code == kErrSqlLocked) {
    text = taxlink::texts::kHostDataInUse;
  } else if (code == kErrSqlCorrupt || code == kErrSqlNotADb) {
    text = taxlink::texts::kHostDataBroken;
  } else if (code == kErrSqlFull) {
    text = taxlink::texts::kHostDiskFull;
  } else if (code <= kErrSqlBase && code >= kErrSqlLowest) {
    text = taxlink::texts::kHostDatabaseError;
  } else if (code == kErrLinesLeftOut) {
    text = taxlink::texts::kHostUnsupportedRate;
  } else if (code == kErrBadStoreText) {
    text = taxlink::texts::kHostBadCharacter + LastStoreTextRecord();
  } else if (code == kErrDamagedDerived) {
    text = taxlink::texts::kHostDamagedJournalData + LastDamagedDerivedRecord();
  } else if (code == kErrNoStore || code == kErrDamagedStore) {
    text = taxlink::texts::kHostDataMissing;
  } else if (code == kErrNoDataSet || code == kErrNoUser) {
    text = taxlink::texts::kHostNoDataSelected;
  } else {
    text = taxlink::texts::kHostSystemError;
  }
  text += taxlink::texts::kHostErrorCode;
  text += std::to_string(code);
  return text;
}

std::string HostCaption() {
  const char* caption = ClAccConnect::Inst()->caption;
  if (caption != nullptr && caption[0] != '\0') return caption;
  return taxlink::texts::kHostName;
}

std::string FilingApplicationName() {
  int32_t status = 0;
  sqlite3* db = HostSession::Db(&status);
  std::string name;
  if (db != nullptr && HostSession::StateValue(db, "filing_app_name", &name) && !name.empty()) {
    return platform::Utf8ToCp932(name);
  }
  return taxlink::texts::kFilingApplicationName;
}

}  // namespace mvhost
