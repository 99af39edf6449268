#ifndef TAXLINK_BENCH_CHILDRUN_H_
#define TAXLINK_BENCH_CHILDRUN_H_

#include <string>
#include <vector>

namespace taxlink::bench {

// What one run of a program took.
struct ChildFigures {
  double milliseconds = 0;     // wall time
  double cpuMilliseconds = 0;  // user and system time
  long peakKilobytes = 0;      // peak resident memory of the program alone
  int status = -1;             // exit status, 128 + signal when killed
};

// Runs argv[0] with argv and the environment entries through bench_launch
// (beside this program), so that the peak memory is the program's own and
// not this process's (bench_launch.cpp). Standard output and error go to
// the files named ("" : /dev/null). Exits with a message when the program
// cannot be started.
ChildFigures RunChild(const std::vector<std::string>& argv,
                      const std::vector<std::string>& environment, const std::string& outPath = "",
                      const std::string& errPath = "");

// The folder of this program's executable.
std::string ProgramFolder();

}  // namespace taxlink::bench

#endif  // TAXLINK_BENCH_CHILDRUN_H_
