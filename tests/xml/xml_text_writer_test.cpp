#include "xml/XmlTextWriter.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/winfs/File.h"
#include "tests/support/ReportFixtures.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink {
namespace {

using testing::ReadBytes;
using testing::TempFolder;

// Writes through a fresh writer and returns the file's bytes.
class XmlTextWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_.WindowsFile("out.xml");
    ASSERT_EQ(writer_.OpenFile(&file_, path_.c_str()), 0);
  }
  std::string Written() {
    writer_.CloseFile();
    return ReadBytes(folder_.File("out.xml"));
  }

  TempFolder folder_;
  std::string path_;
  platform::File file_;
  XmlTextWriter writer_;
};

TEST(XmlEscapeTest, EscapesTheFiveSpecialCharactersOnly) {
  struct Case {
    const char* text;
    const char* escaped;
  };
  const Case cases[] = {
      {"A&B<C>", "A&amp;B&lt;C&gt;"},
      {"\"quoted\" 'single'", "&quot;quoted&quot; &apos;single&apos;"},
      {"", ""},
      {"&&", "&amp;&amp;"},
      {"plain text 123", "plain text 123"},
      {"&amp;", "&amp;amp;"},  // already escaped text is escaped again
      // Double-byte characters whose trail byte is 0x5C or 0x7C pass unchanged.
      {"表示"_sjis, "表示"_sjis},
      {"\x95\x5C\x83\x7C", "\x95\x5C\x83\x7C"},
      {"ｶﾀｶﾅ&"_sjis, "ｶﾀｶﾅ&amp;"_sjis},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(XmlTextWriter::EscapeText(c.text), c.escaped) << c.text;
  }
}

TEST_F(XmlTextWriterTest, ElementLines) {
  struct Case {
    const char* name;
    const char* value;
    uint16_t depth;
    const char* line;
  };
  const Case cases[] = {
      {"NAME", "A&B<C>", 2, "\t\t<NAME>A&amp;B&lt;C&gt;</NAME>\r\n"},
      {"EMPTY", "", 3, "\t\t\t<EMPTY></EMPTY>\r\n"},
      {"NULLVALUE", nullptr, 1, "\t<NULLVALUE></NULLVALUE>\r\n"},
      {"ROOT", "x", 0, "<ROOT>x</ROOT>\r\n"},
      {"SJIS", "\x95\x5C\x83\x7C", 1, "\t<SJIS>\x95\x5C\x83\x7C</SJIS>\r\n"},
  };
  std::string expected;
  for (const Case& c : cases) {
    EXPECT_EQ(writer_.WriteElement(c.name, c.value, c.depth), 1) << c.name;
    expected += c.line;
  }
  EXPECT_EQ(Written(), expected);
}

TEST_F(XmlTextWriterTest, TagsAndAttributes) {
  EXPECT_EQ(writer_.WriteStartTag("REPORT", 0), 1);
  EXPECT_EQ(writer_.WriteStartTag("A", 1, "k", "v&1"), 1);
  EXPECT_EQ(writer_.WriteStartTag("B", 1, "k", "1", "m", "\"2\""), 1);
  // The second attribute needs the first.
  EXPECT_EQ(writer_.WriteStartTag("C", 1, nullptr, nullptr, "m", "2"), 1);
  EXPECT_EQ(writer_.WriteStartTag("D", 1, "k", nullptr, "m", "2"), 1);
  EXPECT_EQ(writer_.WriteElement("E", "x", 2, "k", "<1>", "m", "2"), 1);
  EXPECT_EQ(writer_.WriteElement("F", "x", 2, nullptr, nullptr, "m", "2"), 1);
  EXPECT_EQ(writer_.WriteEndTag("REPORT", 0), 1);
  EXPECT_EQ(writer_.WriteEndTag("A", 4), 1);
  EXPECT_EQ(Written(),
            "<REPORT>\r\n"
            "\t<A k=\"v&amp;1\">\r\n"
            "\t<B k=\"1\" m=\"&quot;2&quot;\">\r\n"
            "\t<C>\r\n"
            "\t<D>\r\n"
            "\t\t<E k=\"&lt;1&gt;\" m=\"2\">x</E>\r\n"
            "\t\t<F>x</F>\r\n"
            "</REPORT>\r\n"
            "\t\t\t\t</A>\r\n");
  EXPECT_FALSE(writer_.writeFailed());
}

// A value with a character XML 1.0 forbids is not written: its line is
// left out, the write counts as failed and names the element; tab, line
// feed and carriage return are characters XML allows.
TEST_F(XmlTextWriterTest, RefusesAValueWithACharacterXmlForbids) {
  EXPECT_EQ(writer_.WriteElement("OK", "a\tb\r\nc", 1), 1);
  EXPECT_FALSE(writer_.writeFailed());
  EXPECT_EQ(writer_.WriteElement("NAME", "Test\x01Trading", 1), 0);
  EXPECT_EQ(writer_.WriteStartTag("T", 1, "k", "1", "m", "\x1F"), 0);
  EXPECT_EQ(writer_.WriteElement("E", "x", 1, "k", "\x0B"), 0);
  EXPECT_EQ(writer_.WriteElement("AFTER", "x", 1), 1);
  EXPECT_TRUE(writer_.writeFailed());
  EXPECT_EQ(writer_.refusedName(), "NAME");
  EXPECT_EQ(Written(), "\t<OK>a\tb\r\nc</OK>\r\n\t<AFTER>x</AFTER>\r\n");
}

TEST_F(XmlTextWriterTest, LongValuesAreWrittenWholeAndEscaped) {
  // Far beyond any fixed line or escape buffer: every byte escapes to five.
  std::string value(5000, '&');
  std::string name(300, 'N');
  std::string attribute(400, '<');
  EXPECT_EQ(writer_.WriteElement(name.c_str(), value.c_str(), 2), 1);
  EXPECT_EQ(writer_.WriteStartTag("T", 300, "a", attribute.c_str()), 1);
  std::string expected = "\t\t<" + name + ">";
  for (int i = 0; i < 5000; ++i) expected += "&amp;";
  expected += "</" + name + ">\r\n";
  expected += std::string(300, '\t') + "<T a=\"";
  for (int i = 0; i < 400; ++i) expected += "&lt;";
  expected += "\">\r\n";
  EXPECT_EQ(Written(), expected);
}

TEST_F(XmlTextWriterTest, WriteTextIsRaw) {
  EXPECT_EQ(writer_.WriteText("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"), 1);
  EXPECT_EQ(writer_.WriteText("a&b"), 1);
  EXPECT_EQ(writer_.WriteText(""), 1);
  EXPECT_EQ(Written(), "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\na&b");
}

// Lines are gathered before they reach the file: every byte arrives once and
// in order across the flushes, whole lines larger than the buffer included.
TEST_F(XmlTextWriterTest, GatheredLinesReachTheFileInOrder) {
  std::string expected;
  for (int i = 0; i < 2000; ++i) {
    std::string value(static_cast<std::size_t>(i % 37), static_cast<char>('a' + i % 26));
    if (i == 1000) value.assign(XmlTextWriter::kFlushBytes * 2 + 3, 'L');
    ASSERT_EQ(writer_.WriteElement("E", value.c_str(), 1), 1);
    expected += "\t<E>" + value + "</E>\r\n";
    if (i == 1500) {
      EXPECT_TRUE(writer_.Flush());
    }
  }
  EXPECT_EQ(Written(), expected);
}

TEST(XmlTextWriterStateTest, OpenFailuresAndUnboundWrites) {
  TempFolder folder;
  platform::File file;
  XmlTextWriter writer;
  EXPECT_FALSE(writer.IsBound());
  EXPECT_EQ(writer.WriteText("x"), 0);  // nothing bound
  EXPECT_EQ(writer.OpenFile(nullptr, folder.WindowsFile("a.xml").c_str()), -1);
  EXPECT_EQ(writer.OpenFile(&file, nullptr), -1);
  // A folder that does not exist: the file cannot be created.
  std::string missing = folder.WindowsFile("no-such-folder") + "\\a.xml";
  EXPECT_EQ(writer.OpenFile(&file, missing.c_str()), -1);
  EXPECT_TRUE(writer.openFailed());
  EXPECT_EQ(writer.WriteStartTag("REPORT", 0), 0);
  EXPECT_EQ(writer.WriteElement("A", "b", 1), 0);
  EXPECT_EQ(writer.WriteEndTag("REPORT", 0), 0);
  EXPECT_TRUE(writer.writeFailed());
  EXPECT_FALSE(writer.Flush());
  EXPECT_EQ(writer.CloseFile(), 0);
  EXPECT_FALSE(writer.IsBound());
}

TEST(XmlTextWriterStateTest, DestructionClosesTheFile) {
  TempFolder folder;
  platform::File file;
  {
    XmlTextWriter writer;
    ASSERT_EQ(writer.OpenFile(&file, folder.WindowsFile("a.xml").c_str()), 0);
    EXPECT_EQ(writer.WriteEndTag("A", 0), 1);
  }
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(ReadBytes(folder.File("a.xml")), "</A>\r\n");
}

TEST(XmlTextWriterStateTest, OpenTruncatesAnExistingFile) {
  TempFolder folder;
  testing::WriteBytes(folder.File("a.xml"), std::string(1000, 'x'));
  platform::File file;
  XmlTextWriter writer;
  ASSERT_EQ(writer.OpenFile(&file, folder.WindowsFile("a.xml").c_str()), 0);
  EXPECT_EQ(writer.WriteText("new"), 1);
  writer.CloseFile();
  EXPECT_EQ(ReadBytes(folder.File("a.xml")), "new");
}

// Exit codes of the child process below: 0 when every check held.
enum ChildResult {
  kChildOk = 0,
  kOpenFailed = 10,
  kNeverFailed,
  kWroteAfterFailure,
  kNotBoundAfterFailure,
  kFailureNotRecorded,
  kCloseFailed,
  kBoundAfterClose,
};

int WriteUntilTheFileIsFull(const std::string& path) {
  platform::File file;
  XmlTextWriter writer;
  if (writer.OpenFile(&file, path.c_str()) != 0) return kOpenFailed;
  std::string value(100, 'v');
  bool failed = false;
  for (int i = 0; i < 1000 && !failed; ++i) {
    failed = writer.WriteElement("ELEMENT", value.c_str(), 2) == 0;
  }
  if (!failed) return kNeverFailed;
  if (!writer.IsBound()) return kNotBoundAfterFailure;
  if (!writer.writeFailed()) return kFailureNotRecorded;
  // The file is closed now: nothing more reaches it, short lines included.
  if (writer.WriteText("x") != 0 || writer.WriteEndTag("A", 0) != 0 ||
      writer.WriteStartTag("A", 0) != 0 || writer.Flush()) {
    return kWroteAfterFailure;
  }
  if (writer.CloseFile() != 0) return kCloseFailed;
  if (writer.IsBound()) return kBoundAfterClose;
  return kChildOk;
}

TEST(XmlTextWriterStateTest, AFullFileFailsEveryLaterWrite) {
  TempFolder folder;
  const std::string path = folder.WindowsFile("full.xml");
  constexpr rlim_t kLimit = 4096;
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The file size limit is a real full file: write() fails with EFBIG.
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{kLimit, kLimit};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(99);
    _exit(WriteUntilTheFileIsFull(path));
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), kChildOk);
  std::string written = ReadBytes(folder.File("full.xml"));
  EXPECT_LE(written.size(), kLimit);
  EXPECT_GT(written.size(), kLimit / 2);
}

}  // namespace
}  // namespace taxlink
