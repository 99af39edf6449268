#include "mvhost/lib/DataSavedReturn.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "host/StSaveTaxInfo.h"

namespace mvhost {

namespace {

static_assert(sizeof(StSaveTaxInfo) == kSavedReturnSize);

// Byte offsets of the amounts that the host's return screen saves (read by
// the saved-return report).
constexpr int32_t kAmountOffsets[] = {
    485,   493,   501,   509,   517,   525,   573,   581,   589,   597,   605,   613,   621,
    629,   637,   645,   653,   661,   669,   677,   685,   693,   701,   709,   717,   725,
    733,   741,   749,   757,   765,   773,   781,   789,   797,   805,   813,   821,   829,
    845,   869,   893,   917,   925,   933,   941,   949,   957,   965,   973,   981,   997,
    1021,  1045,  1061,  1069,  1077,  1085,  1093,  1101,  1109,  1117,  1125,  1141,  1165,
    1189,  1213,  1221,  1229,  1237,  1245,  1253,  1261,  1269,  1277,  1293,  1317,  1341,
    1357,  1365,  1373,  1381,  1389,  1397,  1405,  1413,  1421,  1429,  1437,  1445,  1453,
    1461,  1469,  1477,  1485,  1493,  1501,  1509,  1517,  1525,  1533,  1541,  1549,  1557,
    1565,  1573,  1581,  1589,  1597,  1605,  1613,  1621,  1629,  1637,  1645,  1653,  1661,
    1669,  1677,  1685,  1693,  1701,  1709,  1717,  1725,  1733,  1741,  1749,  1757,  1765,
    1773,  1781,  1789,  1797,  1805,  1813,  1821,  1829,  1837,  1845,  1853,  1861,  1869,
    1877,  1885,  1893,  1901,  1909,  1917,  1925,  2068,  2076,  2084,  2092,  2104,  2112,
    12467, 12475, 12483, 12515, 12523, 12531, 12539, 12547, 12555, 12563, 12571, 12579, 12587,
    12595, 12603, 12707, 12715, 12723, 12731, 12739, 12747, 12755, 12763, 12771, 12787, 12811,
    12835, 12859, 12867, 12875, 12883, 12891, 12899, 12907, 12915, 12923, 12939, 12963, 12987,
    13299, 13307, 13315, 13323, 13331, 13339, 13395, 13403, 13411, 13419, 13427, 13435, 13443,
    13451, 13459, 13467, 13475, 13483, 13491, 13499, 13507, 13635, 13643, 13651, 13659, 13667,
    13675, 13683, 13691, 13699, 13707, 13715, 13723, 13731, 13739, 13747, 13955, 13963, 13987,
    13995, 14019, 14027, 14035, 14043, 14051, 14059, 14067, 14075, 14083, 14115, 14123, 14131,
    14139, 14147, 14155, 14163, 14171, 14179, 14243, 14251, 14259, 14267, 14275, 14283,
};

// The byte ranges [first, end) of the named members; every other byte is free.
struct Range {
  int32_t first;
  int32_t end;
};
constexpr Range kNamed[] = {
    {static_cast<int32_t>(offsetof(StSaveTaxInfo, taxationMethod)),
     static_cast<int32_t>(offsetof(StSaveTaxInfo, creditMethodPlus1)) + 1},
    {static_cast<int32_t>(offsetof(StSaveTaxInfo, salesTaxMethod)),
     static_cast<int32_t>(offsetof(StSaveTaxInfo, returnPeriodEnd)) + 4},
    {static_cast<int32_t>(offsetof(StSaveTaxInfo, monthRangeFirst)),
     static_cast<int32_t>(offsetof(StSaveTaxInfo, monthRangeLast)) + 4},
    {static_cast<int32_t>(offsetof(StSaveTaxInfo, dataCodePlus1)),
     static_cast<int32_t>(offsetof(StSaveTaxInfo, dataCodePlus1)) + 1},
    {static_cast<int32_t>(offsetof(StSaveTaxInfo, kanpukCode)),
     static_cast<int32_t>(offsetof(StSaveTaxInfo, refundAmounts) +
                          sizeof(StSaveTaxInfo::refundAmounts))},
};

bool OutsideNamed(int32_t offset, size_t length) {
  int64_t end = static_cast<int64_t>(offset) + static_cast<int64_t>(length);
  if (offset < 0 || end > static_cast<int64_t>(kSavedReturnSize)) return false;
  for (const Range& r : kNamed) {
    if (offset < r.end && end > r.first) return false;
  }
  return true;
}

int64_t ReadInt64(const uint8_t* p) {
  int64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

void WriteInt64(uint8_t* p, int64_t v) { std::memcpy(p, &v, sizeof v); }

}  // namespace

bool CheckSavedAmountOffset(int32_t offset, std::string* message) {
  if (OutsideNamed(offset, 8)) return true;
  *message = "amount offset " + std::to_string(offset) + " is outside the free part of the image";
  return false;
}

bool CheckSavedBytesRange(int32_t offset, size_t length, std::string* message) {
  if (length > 0 && OutsideNamed(offset, length)) return true;
  *message =
      "bytes at " + std::to_string(offset) + " are empty or outside the free part of the image";
  return false;
}

bool CheckSavedLayout(const SavedReturn& saved, std::string* field, std::string* message) {
  // Every value placed, in offset order: [first, end), and what it is.
  struct Placed {
    int32_t first;
    int32_t end;
    bool amount;
  };
  std::vector<Placed> placed;
  for (const auto& [offset, amount] : saved.amounts) placed.push_back({offset, offset + 8, true});
  for (const auto& [offset, bytes] : saved.bytes) {
    placed.push_back({offset, offset + static_cast<int32_t>(bytes.size()), false});
  }
  std::sort(placed.begin(), placed.end(),
            [](const Placed& a, const Placed& b) { return a.first < b.first; });
  auto describe = [](const Placed& p) {
    return p.amount ? "the amount at " + std::to_string(p.first)
                    : "bytes " + std::to_string(p.first) + ".." + std::to_string(p.end - 1);
  };
  for (size_t i = 0; i < placed.size(); ++i) {
    const Placed& later = placed[i];
    *field = std::string(later.amount ? "amounts." : "bytes.") + std::to_string(later.first);
    if (i > 0 && later.first < placed[i - 1].end) {
      *message =
          describe(later) + " overlap" + (later.amount ? "s " : " ") + describe(placed[i - 1]);
      return false;
    }
    if (later.amount) continue;
    for (int32_t slot : kAmountOffsets) {
      if (later.first < slot + 8 && slot < later.end) {
        *message = describe(later) + " overlap the amount at " + std::to_string(slot) +
                   " that the return screen saves";
        return false;
      }
    }
  }
  return true;
}

std::vector<uint8_t> SavedReturnImage(const SavedReturn& saved) {
  std::vector<uint8_t> image(kSavedReturnSize, 0);
  for (const auto& [offset, bytes] : saved.bytes) {
    if (OutsideNamed(offset, bytes.size())) std::memcpy(&image[offset], bytes.data(), bytes.size());
  }
  for (const auto& [offset, amount] : saved.amounts) {
    if (OutsideNamed(offset, 8)) WriteInt64(&image[offset], amount);
  }
  StSaveTaxInfo info;
  std::memcpy(&info, image.data(), sizeof info);
  info.taxationMethod = static_cast<uint8_t>(saved.taxationMethod);
  info.creditMethodPlus1 = static_cast<uint8_t>(saved.creditMethodCode);
  info.salesTaxMethod = static_cast<uint8_t>(saved.salesTaxMethod);
  info.purchaseTaxMethod = static_cast<uint8_t>(saved.purchaseTaxMethod);
  info.transitional = static_cast<uint8_t>(saved.transitional);
  info.periodStart = saved.periodStart;
  info.periodEnd = saved.periodEnd;
  info.returnPeriodStart = saved.returnPeriodStart;
  info.returnPeriodEnd = saved.returnPeriodEnd;
  info.monthRangeFirst = saved.monthRangeFirst;
  info.monthRangeLast = saved.monthRangeLast;
  info.dataCodePlus1 = static_cast<uint8_t>(saved.dataCode);
  info.kanpukCode = static_cast<uint8_t>(saved.kanpukCode);
  info.kanpuhCode = static_cast<uint8_t>(saved.kanpuhCode);
  info.assetsCode = static_cast<uint8_t>(saved.assetsCode);
  for (size_t i = 0; i < saved.refundAmounts.size(); ++i)
    info.refundAmounts[i] = saved.refundAmounts[i];
  std::memcpy(image.data(), &info, sizeof info);
  return image;
}

SavedReturn SavedReturnFromImage(const std::vector<uint8_t>& source) {
  std::vector<uint8_t> image(kSavedReturnSize, 0);
  std::memcpy(image.data(), source.data(), std::min(source.size(), kSavedReturnSize));
  StSaveTaxInfo info;
  std::memcpy(&info, image.data(), sizeof info);
  SavedReturn saved;
  saved.taxationMethod = info.taxationMethod;
  saved.creditMethodCode = info.creditMethodPlus1;
  saved.salesTaxMethod = info.salesTaxMethod;
  saved.purchaseTaxMethod = info.purchaseTaxMethod;
  saved.transitional = info.transitional;
  saved.periodStart = info.periodStart;
  saved.periodEnd = info.periodEnd;
  saved.returnPeriodStart = info.returnPeriodStart;
  saved.returnPeriodEnd = info.returnPeriodEnd;
  saved.monthRangeFirst = info.monthRangeFirst;
  saved.monthRangeLast = info.monthRangeLast;
  saved.dataCode = info.dataCodePlus1;
  saved.kanpukCode = info.kanpukCode;
  saved.kanpuhCode = info.kanpuhCode;
  saved.assetsCode = info.assetsCode;
  for (size_t i = 0; i < saved.refundAmounts.size(); ++i)
    saved.refundAmounts[i] = info.refundAmounts[i];

  // What is left once the named members are cleared: amounts first, then
  // runs of non-zero bytes.
  for (const Range& r : kNamed) std::memset(&image[r.first], 0, r.end - r.first);
  for (int32_t offset : kAmountOffsets) {
    int64_t amount = ReadInt64(&image[offset]);
    if (amount != 0) {
      saved.amounts[offset] = amount;
      std::memset(&image[offset], 0, 8);
    }
  }
  for (size_t i = 0; i < image.size();) {
    if (image[i] == 0) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < image.size() && image[end] != 0) ++end;
    saved.bytes[static_cast<int32_t>(i)] =
        std::vector<uint8_t>(image.begin() + i, image.begin() + end);
    i = end;
  }
  return saved;
}

}  // namespace mvhost
