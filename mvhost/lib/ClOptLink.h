#ifndef TAXLINK_MVHOST_CLOPTLINK_H_
#define TAXLINK_MVHOST_CLOPTLINK_H_

#include <cstdint>

// The link options that rule objects are attached to: the data use the
// program announced with ClAccConnect::SetUseDataType.
class ClOptLink {
 public:
  int32_t useDataType = 0;
};

#endif  // TAXLINK_MVHOST_CLOPTLINK_H_
