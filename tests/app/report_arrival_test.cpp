// A batch starts on a client's sheet once the program renames the report
// into place: nothing else in the folder may start it early.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "mvhost/cli/ReportArrival.h"

namespace {

TEST(ReportArrivalTest, OnlyTheReportRenamedIntoItsFolderArrives) {
  char pattern[] = "/tmp/report-arrival-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::string folder = pattern;
  const std::string other = folder + "/other";
  std::filesystem::create_directory(other);
  const std::string report = folder + "/C0001.xml";
  auto write = [](const std::string& path) { std::ofstream(path) << "<report/>"; };
  struct Case {
    const char* what;
    std::function<void()> act;
    bool arrives;
  };
  const Case cases[] = {
      {"another file renamed into the folder",
       [&] {
         write(folder + "/t1");
         std::rename((folder + "/t1").c_str(), (folder + "/C0001.xml.tmp").c_str());
       },
       false},
      {"a name that starts like the report's",
       [&] {
         write(folder + "/t2");
         std::rename((folder + "/t2").c_str(), (folder + "/C0001.x").c_str());
       },
       false},
      {"the report written in place", [&] { write(report); }, false},
      {"the report's name renamed in another folder",
       [&] {
         write(other + "/t3");
         std::rename((other + "/t3").c_str(), (other + "/C0001.xml").c_str());
       },
       false},
      {"the report renamed into place",
       [&] {
         write(folder + "/t4");
         std::rename((folder + "/t4").c_str(), report.c_str());
       },
       true},
  };
  // One watch serves a worker's clients one after another.
  mvhost::ReportArrival arrival;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(report);
    ASSERT_TRUE(arrival.Watch(report));
    EXPECT_FALSE(arrival.Arrived());
    c.act();
    EXPECT_EQ(arrival.Arrived(), c.arrives);
    EXPECT_EQ(arrival.Arrived(), c.arrives);  // said again, nothing new read
  }
  // The next client's watch forgets what came before it.
  write(folder + "/t5");
  std::rename((folder + "/t5").c_str(), report.c_str());
  ASSERT_TRUE(arrival.Watch(report));
  EXPECT_FALSE(arrival.Arrived());
  std::filesystem::remove_all(folder);
}

}  // namespace
