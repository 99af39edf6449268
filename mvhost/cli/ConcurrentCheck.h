#ifndef TAXLINK_MVHOST_CLI_CONCURRENTCHECK_H_
#define TAXLINK_MVHOST_CLI_CONCURRENTCHECK_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/StoredDataCheck.h"
#include "sheet/FindingsFile.h"

namespace mvhost {

// The bookkeeping check of a batch client's data set and months, made on a
// thread of its own while the program runs (the client waits on the
// program anyway), so that the check costs the client no time of its own
// when a core is free. The thread reads the store through a connection of
// its own and no environment: it is started once the program has been
// started, and this process changes no environment setting after that.
// Nothing else in the process may use a store until Wait (the store's
// statement caches are per process and unguarded): the launch waits for
// the check before it writes the run log.
class ConcurrentCheck {
 public:
  ConcurrentCheck() = default;
  ~ConcurrentCheck();
  ConcurrentCheck(const ConcurrentCheck&) = delete;
  ConcurrentCheck& operator=(const ConcurrentCheck&) = delete;

  // Starts the check of data set dataNo over calendar months start..end;
  // the text of the first textLimit findings is kept, one a line.
  // `shared`, when given, is the connection to use (opened by the thread
  // when it is not open yet), kept by the caller after the check.
  void Start(const std::string& home, int32_t dataNo, int startMonth, int endMonth,
             size_t textLimit, HostStore* shared = nullptr);

  // Waits for the check, when it was started. A writer of the store waits
  // for it first: in the store's rollback-journal mode, a long read holds
  // off every write until it ends. Called once the program has ended, it
  // keeps the findings the check could not keep while the program read the
  // store.
  void Wait();

  // Waits for the check and hands over its findings (as SheetCheck makes
  // them) and the text of its first findings, once, when it was made over
  // these months; false otherwise (not started, other months, already
  // taken). `keep` false: while the program may still read the store, the
  // findings left unkept stay so until Wait.
  bool Take(int startMonth, int endMonth, taxlink::sheet::CheckFindings* findings,
            std::string* text, bool keep = true);

  // Before Start: what the check's thread does with the findings once it
  // has made them, while the program still runs (the batch writes the
  // client's findings file there, off the client's path after the
  // program); its answer is kept for Handed.
  void WhenMade(std::function<bool(const taxlink::sheet::CheckFindings&, const std::string& text)>
                    use) {
    whenMade_ = std::move(use);
  }

  // Before Start: work the check's thread does after the check (and
  // WhenMade's), so that the program's run meets one thread of the
  // client's beside it, not two. Wait and Take wait for it too.
  void Afterwards(std::function<void()> work) { afterwards_ = std::move(work); }

  // Before Start: the check keeps nothing itself; its findings stay unkept
  // after Wait, for KeepWith to keep them in the caller's own write (one
  // commit instead of two on the path after the program, and no try while
  // the program reads the store, which journals and rolls back beside it);
  // the destructor keeps them when KeepWith did not.
  void KeepLater() { keepLater_ = true; }

  // Waits for the check (see Wait), then keeps the findings left unkept,
  // with the caller's rows (`alongside` writes them) in the same
  // transaction; true when those rows were written. False when nothing was
  // left to keep. It may run on a thread of the caller's while another
  // thread waits for the check or takes its findings; nothing else may use
  // the check's connection meanwhile.
  bool KeepWith(const std::function<bool()>& alongside);

  // After Wait: WhenMade's function was given the findings and said it
  // used them.
  bool Handed() const { return handed_; }

  // After Wait: the check's connection to the home (not open when it
  // could not be opened), for the process's later reads and writes.
  HostStore& store() { return *used_; }

 private:
  // Waits for the thread; keeps the findings left unkept when `keep`.
  void Join(bool keep);

  HostStore store_;
  HostStore* used_ = &store_;
  std::thread thread_;
  std::mutex joining_;  // Wait may be called on two threads at once
  bool made_ = false;  // started, and not yet taken
  bool handed_ = false;
  bool keepLater_ = false;
  std::function<bool(const taxlink::sheet::CheckFindings&, const std::string&)> whenMade_;
  std::function<void()> afterwards_;
  int startMonth_ = 0;
  int endMonth_ = 0;
  taxlink::sheet::CheckFindings findings_;
  std::string text_;
  UnkeptFindings unkept_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_CONCURRENTCHECK_H_
