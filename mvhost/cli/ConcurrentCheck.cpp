#include "mvhost/cli/ConcurrentCheck.h"

#include <exception>

#include "mvhost/cli/SheetCheck.h"

namespace mvhost {

ConcurrentCheck::~ConcurrentCheck() {
  Wait();
  if (used_->db() != nullptr) unkept_.Keep(used_->db());
}

void ConcurrentCheck::Wait() { Join(true); }

void ConcurrentCheck::Join(bool keep) {
  const std::lock_guard<std::mutex> lock(joining_);
  if (thread_.joinable()) thread_.join();
  // Kept once (what is kept is no longer pending).
  if (keep && !keepLater_ && used_->db() != nullptr) unkept_.Keep(used_->db());
}

bool ConcurrentCheck::KeepWith(const std::function<bool()>& alongside) {
  Wait();
  return used_->db() != nullptr && unkept_.KeepWith(used_->db(), alongside);
}

void ConcurrentCheck::Start(const std::string& home, int32_t dataNo, int startMonth, int endMonth,
                            size_t textLimit, HostStore* shared) {
  if (made_) return;
  made_ = true;
  used_ = shared != nullptr ? shared : &store_;
  startMonth_ = startMonth;
  endMonth_ = endMonth;
  unkept_.deferred = keepLater_;
  thread_ = std::thread([this, home, dataNo, textLimit] {
    size_t kept = 0;
    SheetCheckRequest request;
    request.dataNo = dataNo;
    request.startMonth = startMonth_;
    request.endMonth = endMonth_;
    request.unkept = &unkept_;
    request.each = [&](const CheckFinding& finding) {
      if (kept == textLimit) return false;
      text_ += finding.Text() + "\n";
      return ++kept < textLimit;
    };
    std::string error;
    try {
      std::string storeError;
      const bool opened = used_->db() != nullptr || used_->Open(home, &storeError);
      if (!SheetCheck(opened ? used_ : nullptr, storeError, request, &findings_, &error)) {
        findings_ = taxlink::sheet::CheckFindings{};
        findings_.error = error;
        text_.clear();
      }
    } catch (const std::exception& e) {
      // Said on the sheet as a check that could not be made.
      findings_ = taxlink::sheet::CheckFindings{};
      findings_.error = e.what();
      text_.clear();
    }
    if (whenMade_ && findings_.checked) {
      try {
        handed_ = whenMade_(findings_, text_);
      } catch (const std::exception&) {
        handed_ = false;  // the caller writes what it needs after the program
      }
    }
    if (afterwards_) {
      try {
        afterwards_();
      } catch (const std::exception&) {
        // Work to spare the client's path; left to whoever needs it.
      }
    }
  });
}

bool ConcurrentCheck::Take(int startMonth, int endMonth, taxlink::sheet::CheckFindings* findings,
                           std::string* text, bool keep) {
  Join(keep);
  if (!made_ || startMonth != startMonth_ || endMonth != endMonth_) return false;
  made_ = false;
  *findings = std::move(findings_);
  *text = std::move(text_);
  return true;
}

}  // namespace mvhost
