// The host's codes as the program sees them, and what a Status keeps.

#include "status/Status.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "status/HostResult.h"

namespace taxlink {
namespace {

struct CodeCase {
  const char* what;
  Status (*convert)(int32_t, const char*);
  int32_t code;
  Status::Code expected;
  int32_t hostCode;  // what the host's message manager would be given
};

class HostCodeTest : public ::testing::TestWithParam<CodeCase> {};

TEST_P(HostCodeTest, BecomesTheStatusOfItsKindOfCall) {
  const CodeCase& c = GetParam();
  const Status status = c.convert(c.code, "ClRuleShiwake::MoveNext");
  EXPECT_EQ(status.code(), c.expected);
  EXPECT_EQ(status.ok(), c.expected == Status::Code::kOk);
  EXPECT_EQ(status.hostCode(), c.hostCode);
  EXPECT_STREQ(status.where(), c.expected == Status::Code::kOk ? "" : "ClRuleShiwake::MoveNext");
}

INSTANTIATE_TEST_SUITE_P(
    Calls, HostCodeTest,
    ::testing::Values(
        CodeCase{"walk, record", &HostResult, 0, Status::Code::kOk, 0},
        CodeCase{"walk, end", &HostResult, 5000, Status::Code::kEndOfData, 5000},
        CodeCase{"walk, failure", &HostResult, -3011, Status::Code::kHostError, -3011},
        CodeCase{"walk, positive failure", &HostResult, 7, Status::Code::kHostError, 7},
        CodeCase{"call, end counts as success", &HostCallResult, 5000, Status::Code::kOk, 0},
        CodeCase{"call, failure", &HostCallResult, -5, Status::Code::kHostError, -5},
        CodeCase{"count", &HostCountResult, 4, Status::Code::kOk, 0},
        CodeCase{"count, failure", &HostCountResult, -3005, Status::Code::kHostError, -3005},
        CodeCase{"lookup, unknown key", &HostLookupResult, 1, Status::Code::kMissing, 0},
        CodeCase{"lookup, failure", &HostLookupResult, -2, Status::Code::kHostError, -2}),
    [](const ::testing::TestParamInfo<CodeCase>& test) {
      std::string name;
      for (const char* p = test.param.what; *p != '\0'; ++p) {
        if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
      }
      return name;
    });

TEST(StatusTest, AWalkEndsOkOnlyAtItsEnd) {
  EXPECT_TRUE(WalkEnded(HostResult(5000, "w")).ok());
  EXPECT_TRUE(WalkEnded(HostResult(0, "w")).ok());
  EXPECT_EQ(WalkEnded(HostResult(-5, "w")).hostCode(), -5);
}

TEST(StatusTest, CopiesKeepWhatFailedAndWhere) {
  Status failed = Status::IOError("the report file could not be created", "WriteReportFile");
  Status copy = failed;
  Status assigned;
  assigned = copy;
  for (const Status* s : {&failed, &copy, &assigned}) {
    EXPECT_EQ(s->code(), Status::Code::kIOError);
    EXPECT_EQ(s->message(), "the report file could not be created");
    EXPECT_STREQ(s->where(), "WriteReportFile");
  }
  assigned = Status::OK();
  EXPECT_TRUE(assigned.ok());
  EXPECT_EQ(copy.code(), Status::Code::kIOError);
}

TEST(StatusTest, Texts) {
  EXPECT_EQ(Status().ToString(), "ok");
  EXPECT_EQ(Status::HostError(-5, "ClRuleKamoku::MoveNext").ToString(),
            "host error -5 in ClRuleKamoku::MoveNext");
  EXPECT_EQ(Status::NotCreated("ClRuleShiwake").ToString(),
            "host object not created (-1001) in ClRuleShiwake");
  EXPECT_EQ(Status::Abandoned("the user gave up", "WriteReportFile").ToString(),
            "abandoned: the user gave up in WriteReportFile");
}

}  // namespace
}  // namespace taxlink
