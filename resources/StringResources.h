#ifndef TAXLINK_RESOURCES_STRINGRESOURCES_H_
#define TAXLINK_RESOURCES_STRINGRESOURCES_H_

namespace taxlink {

// String resource 1: the component version written as CONNECTEDPROGRAMVER.
constexpr int kIdsComponentVersion = 1;

// The text of a string resource; empty for an unknown id.
const char* LoadStringResource(int id);

}  // namespace taxlink

#endif  // TAXLINK_RESOURCES_STRINGRESOURCES_H_
