// The command blocks of the guides run as written, in the order given, in
// one shell, from a folder laid out like a clone whose build/bin is this
// build's: each ```sh block is run; a ```text block after it is what its
// commands print on standard output and a ```stderr block what they print
// on standard error ("..." in a line stands for any text). A block without
// either must run without a failing command. The build itself
// (scripts/build) has already run.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/ProgramRun.h"

namespace taxlink::testing {
namespace {

namespace fs = std::filesystem;

struct DocBlock {
  std::string commands;
  int line = 0;  // of the opening fence
  bool hasStdout = false;
  bool hasStderr = false;
  std::string expectedStdout;
  std::string expectedStderr;
};

std::vector<DocBlock> CommandBlocks(const std::string& markdown) {
  std::vector<DocBlock> blocks;
  std::istringstream in(markdown);
  std::string line;
  int number = 0;
  std::string kind;  // of the open fence; empty outside one
  std::string text;
  while (std::getline(in, line)) {
    ++number;
    if (kind.empty()) {
      if (line.rfind("```", 0) == 0) {
        kind = line.substr(3);
        if (kind.empty()) kind = "plain";
        text.clear();
        if (kind == "sh") {
          blocks.emplace_back();
          blocks.back().line = number;
        }
      }
      continue;
    }
    if (line != "```") {
      text += line + "\n";
      continue;
    }
    if (kind == "sh") {
      blocks.back().commands = text;
    } else if (kind == "text" && !blocks.empty()) {
      blocks.back().hasStdout = true;
      blocks.back().expectedStdout = text;
    } else if (kind == "stderr" && !blocks.empty()) {
      blocks.back().hasStderr = true;
      blocks.back().expectedStderr = text;
    }
    kind.clear();
  }
  return blocks;
}

// "..." matches any text within the line.
bool LineMatches(const std::string& pattern, const std::string& actual) {
  size_t wild = pattern.find("...");
  if (wild == std::string::npos) return pattern == actual;
  if (actual.compare(0, wild, pattern, 0, wild) != 0) return false;
  std::string rest = pattern.substr(wild + 3);
  for (size_t from = wild; from <= actual.size(); ++from) {
    if (LineMatches(rest, actual.substr(from))) return true;
  }
  return false;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool OutputMatches(const std::string& expected, const std::string& actual) {
  std::vector<std::string> want = Lines(expected);
  std::vector<std::string> got = Lines(actual);
  if (want.size() != got.size()) return false;
  for (size_t i = 0; i < want.size(); ++i) {
    if (!LineMatches(want[i], got[i])) return false;
  }
  return true;
}

// The lines of a block with the build step left out.
std::string RunnableCommands(const std::string& commands) {
  std::string result;
  for (const std::string& line : Lines(commands)) {
    bool build = line.rfind("scripts/build", 0) == 0;
    result += (build ? ": " : "") + line + "\n";
  }
  return result;
}

class DocsRunTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "docs-run-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    ASSERT_NE(::mkdtemp(buffer.data()), nullptr);
    clone_ = buffer.data();
    // The clone: the sources as they are, build/bin this build's programs.
    for (const fs::directory_entry& entry : fs::directory_iterator(TAXLINK_SOURCE_DIR)) {
      std::string name = entry.path().filename().string();
      if (name == ".git" || name.rfind("build", 0) == 0) continue;
      fs::create_symlink(entry.path(), clone_ + "/" + name);
    }
    fs::create_directory(clone_ + "/build");
    fs::create_symlink(BinaryFolder(), clone_ + "/build/bin");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(clone_, ignored);
  }

  std::string clone_;
};

TEST_P(DocsRunTest, CommandBlocksPrintWhatTheGuideSays) {
  const std::string guide = std::string(TAXLINK_SOURCE_DIR) + "/docs/" + GetParam();
  std::vector<DocBlock> blocks = CommandBlocks(ReadFileBytes(guide));
  ASSERT_FALSE(blocks.empty());
  const std::string work = clone_ + "/.docs-run";
  fs::create_directory(work);
  std::string script = "exec </dev/null\n";
  for (size_t i = 0; i < blocks.size(); ++i) {
    std::string file = work + "/" + std::to_string(i);
    script += "trap 'echo \"$BASH_COMMAND\" >>\"" + file + ".failed\"' ERR\n{\n" +
              RunnableCommands(blocks[i].commands) + "} >\"" + file + ".out\" 2>\"" + file +
              ".err\"\ntrap - ERR\n";
  }
  std::ofstream(work + "/session.sh") << script;
  // The guides speak of a machine without a display or a terminal front
  // end, and of nothing set before their own commands.
  std::string command = "cd '" + clone_ + "' && env";
  for (const char* name :
       {"DISPLAY", "WAYLAND_DISPLAY", "MVHOST_HOME", "MVHOST_FAULTS", "TAXLINK_UI",
        "TAXLINK_UI_SCRIPT", "TAXLINK_UI_TRANSCRIPT", "TAXLINK_DRIVES", "TAXLINK_SHARES",
        "TAXLINK_TEMP", "TAXLINK_WINDOWS_DIR"}) {
    command += std::string(" -u ") + name;
  }
  command += " bash .docs-run/session.sh";
  ASSERT_EQ(std::system(command.c_str()), 0);

  for (size_t i = 0; i < blocks.size(); ++i) {
    const DocBlock& b = blocks[i];
    SCOPED_TRACE(guide + ":" + std::to_string(b.line));
    std::string file = work + "/" + std::to_string(i);
    std::string out = ReadFileBytes(file + ".out");
    std::string err = ReadFileBytes(file + ".err");
    if (!b.hasStdout && !b.hasStderr) {
      EXPECT_EQ(ReadFileBytes(file + ".failed"), "") << "standard error:\n" << err;
    }
    if (b.hasStdout) {
      EXPECT_TRUE(OutputMatches(b.expectedStdout, out)) << "the guide says:\n"
                                                        << b.expectedStdout << "it printed:\n"
                                                        << out << "on standard error:\n"
                                                        << err;
    }
    if (b.hasStderr) {
      EXPECT_TRUE(OutputMatches(b.expectedStderr, err)) << "the guide says on standard error:\n"
                                                        << b.expectedStderr << "it printed:\n"
                                                        << err;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Guides, DocsRunTest, ::testing::Values("running.md", "mvhost.md"),
                         [](const ::testing::TestParamInfo<const char*>& test) {
                           std::string name = test.param;
                           return name.substr(0, name.find('.'));
                         });

}  // namespace
}  // namespace taxlink::testing
