#ifndef TAXLINK_PLATFORM_TEXT_FULLWIDTH_H_
#define TAXLINK_PLATFORM_TEXT_FULLWIDTH_H_

#include <string>
#include <string_view>

namespace platform {

// LCMapStringA with LCMAP_FULLWIDTH under the system default locale (932):
// printable ASCII and the space become their full-width forms, half-width
// katakana become full-width katakana (a following voiced or semi-voiced
// mark is merged into the voiced character where one exists); every other
// character is copied unchanged.
std::string MapToFullWidth(std::string_view cp932);

}  // namespace platform

#endif  // TAXLINK_PLATFORM_TEXT_FULLWIDTH_H_
