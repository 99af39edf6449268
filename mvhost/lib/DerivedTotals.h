#ifndef TAXLINK_MVHOST_DERIVEDTOTALS_H_
#define TAXLINK_MVHOST_DERIVEDTOTALS_H_

#include <sqlite3.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>

#include "mvhost/lib/PackedLine.h"

namespace mvhost {

// The totals of a data set's lines in memory, as a rebuild gathers them:
// per effective rate, business type, both tax classes and month kind; per
// account, side, effective rate and month kind; per department, account,
// side and month kind. Each keeps its number of lines, so that a line taken
// away leaves no row its lines no longer feed.
class DerivedTotals {
 public:
  // Adds the line's contributions (sign 1) or takes them away (sign -1).
  void Add(const PackedLine& line, int sign);
  // A sum passed 64 bits on the way (the sums stop there instead of
  // wrapping).
  bool overflow() const { return overflow_; }

  // Replaces the data set's rows of totals with these.
  int32_t Write(sqlite3* db, int32_t dataNo) const;

 private:
  template <size_t N>
  using Key = std::array<int32_t, N>;
  template <size_t N>
  struct KeyHash {
    size_t operator()(const Key<N>& key) const {
      uint64_t h = 1469598103934665603ULL;
      for (int32_t part : key) h = (h ^ static_cast<uint32_t>(part)) * 1099511628211ULL;
      return static_cast<size_t>(h ^ (h >> 29));
    }
  };
  // lines first, then the amounts.
  template <size_t M>
  struct Sums {
    std::array<int64_t, M> values{};
  };
  template <size_t N, size_t M>
  using Table = std::unordered_map<Key<N>, Sums<M>, KeyHash<N>>;

  template <size_t N, size_t M>
  void AddTo(Table<N, M>& table, const Key<N>& key, const std::array<int64_t, M>& values, int sign);
  void AddSide(int32_t account, int32_t side, int32_t rate, int32_t dept, int32_t monthKind,
               int64_t amount, int64_t tax, int sign);

  Table<5, 5> classes_;   // lines, debit amount, debit tax, credit amount, credit tax
  Table<4, 3> accounts_;  // lines, amount, tax
  Table<4, 3> departments_;
  bool overflow_ = false;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_DERIVEDTOTALS_H_
