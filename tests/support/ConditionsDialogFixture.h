#ifndef TAXLINK_TESTS_SUPPORT_CONDITIONSDIALOGFIXTURE_H_
#define TAXLINK_TESTS_SUPPORT_CONDITIONSDIALOGFIXTURE_H_

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "conditions/ConditionsDialog.h"
#include "platform/text/WinTypes.h"
#include "tests/support/ConditionsTestSupport.h"

namespace taxlink::testing {

constexpr uint32_t kRefusalStyle = MB_ICONEXCLAMATION | MB_OK;
constexpr uint32_t kQuestionStyle = MB_ICONQUESTION | MB_YESNO;
constexpr uint32_t kNoticeStyle = MB_ICONINFORMATION | MB_OK;

// A conditions dialog over a private machine: drive C: is a private folder
// holding the host home (C:\home), so that the host's folders are
// C:\home\folders\out\ and C:\home\folders\app\; C:\out\ exists, D: is a
// CD-ROM and the temporary folder is C:\tmp\. Messages go to a recording
// front end.
class ConditionsDialogTest : public ::testing::Test {
 protected:
  ConditionsDialogTest();

  ConditionsRecordingUi& ui() { return uiScope_.ui(); }

  // A standard-taxation data set, April to March, with saved values (months
  // 6 to 9), user U01 with selection 3/1.
  static void Fill(ConditionsDialog& dialog);
  // Creates the dialog (filled as above) and types the path.
  void OpenWithPath(ConditionsDialog& dialog, const std::string& path);

  void Remember(const std::string& contents);
  std::string RememberedFile() const;

  void ExpectOnlyMessage(const std::string& text, uint32_t style);

  ConditionsTempDir dir_;
  ConditionsScopedEnv drives_;
  ConditionsScopedEnv home_;
  ConditionsScopedEnv temp_;
  ConditionsScopedEnv faults_;
  ConditionsUiScope uiScope_;
};

}  // namespace taxlink::testing

#endif  // TAXLINK_TESTS_SUPPORT_CONDITIONSDIALOGFIXTURE_H_
