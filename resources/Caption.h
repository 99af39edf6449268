#ifndef TAXLINK_RESOURCES_CAPTION_H_
#define TAXLINK_RESOURCES_CAPTION_H_

#include "resources/Texts.h"

namespace taxlink {

// The caption of every message box of the program and of the host link.
using texts::kMessageCaption;

}  // namespace taxlink

#endif  // TAXLINK_RESOURCES_CAPTION_H_
