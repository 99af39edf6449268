#include "mvhost/cli/BatchProgress.h"

#include <string>

namespace mvhost {

namespace {

constexpr int kBarWidth = 30;

std::string Clock(int64_t seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                static_cast<long long>(seconds % 60));
  return text;
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

}  // namespace

BatchProgress::BatchProgress(FILE* out, bool terminal, int total)
    : out_(out), terminal_(terminal), total_(total), started_(std::chrono::steady_clock::now()) {
  if (terminal_) DrawBar();
}

void BatchProgress::Ended(const ClientResult& result, bool skipped) {
  ++done_;
  if (!skipped && result.status != "written") ++notWritten_;
  if (terminal_) {
    DrawBar();
    return;
  }
  std::string line = std::to_string(done_) + "/" + std::to_string(total_) + " " +
                     std::to_string(result.dataNo) + " " + result.dataId + " " +
                     (skipped ? "skipped (written before)" : result.status);
  if (!skipped) line += " " + std::to_string(result.durationMs) + " ms";
  if (!skipped && result.status != "written" && !result.message.empty()) {
    line += ": " + FirstLine(result.message);
  }
  std::fprintf(out_, "%s\n", line.c_str());
  std::fflush(out_);
}

void BatchProgress::DrawBar() {
  const int64_t elapsed =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started_)
          .count();
  const int filled = total_ == 0 ? kBarWidth : done_ * kBarWidth / total_;
  std::string bar(static_cast<size_t>(filled), '#');
  bar.append(static_cast<size_t>(kBarWidth - filled), '-');
  std::string remaining = done_ == 0 ? "?" : Clock(elapsed * (total_ - done_) / done_);
  std::fprintf(out_, "\r\033[K[%s] %d/%d done, %d not written, %s elapsed, %s left", bar.c_str(),
               done_, total_, notWritten_, Clock(elapsed).c_str(), remaining.c_str());
  std::fflush(out_);
}

void BatchProgress::Finish() {
  if (terminal_) std::fprintf(out_, "\n");
}

}  // namespace mvhost
