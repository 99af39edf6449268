#include "mvhost/cli/ImportProgressLine.h"

#include <time.h>

#include <utility>

namespace mvhost {

namespace {

double Seconds() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace

ImportProgressLine::ImportProgressLine(std::string file, std::FILE* out, bool terminal)
    : file_(std::move(file)), out_(out), terminal_(terminal) {}

void ImportProgressLine::Show(const ImportProgress& progress) {
  if (!terminal_ || progress.lines < kShownFromLines) return;
  const bool lines = progress.stage == ImportProgress::Stage::kLines;
  const double now = Seconds();
  if (lines && lastShown_ >= 0 && now - lastShown_ < 0.2) return;
  lastShown_ = now;
  std::string text = "mvhost: " + file_ + ": " + std::to_string(progress.lines) + " journal lines";
  if (!lines) {
    text += progress.stage == ImportProgress::Stage::kIndexes ? ", building the indexes"
                                                              : ", summing up the journals";
  } else if (progress.bytesTotal > 0) {
    text += " (" + std::to_string(progress.bytesRead * 100 / progress.bytesTotal) + " %)";
  }
  Clear();
  std::fputs(text.c_str(), out_);
  std::fflush(out_);
  shownLength_ = text.size();
}

void ImportProgressLine::Warn(const std::string& warning) {
  Clear();
  std::fprintf(out_, "mvhost: warning: %s\n", warning.c_str());
}

void ImportProgressLine::Clear() {
  if (shownLength_ == 0) return;
  std::fprintf(out_, "\r%*s\r", static_cast<int>(shownLength_), "");
  std::fflush(out_);
  shownLength_ = 0;
}

}  // namespace mvhost
