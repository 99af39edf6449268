#ifndef TAXLINK_RESOURCES_CAPTION_H_
#define TAXLINK_RESOURCES_CAPTION_H_

namespace taxlink {

// The caption of every message box of the program and of the host link.
inline constexpr char kMessageCaption[] = "消費税";

}  // namespace taxlink

#endif  // TAXLINK_RESOURCES_CAPTION_H_
