// The entry of the test programs: the embedded host behind the
// fault-injecting one is the process's host, so that a test can name faults
// with MVHOST_FAULTS or a home's faults file as with the programs of
// bin-faults/.

#include <gtest/gtest.h>

#include "mvhost/lib/SqliteHost.h"
#include "tests/hosts/FaultHost.h"

int main(int argc, char** argv) {
  hosts::RegisterFaultHostOver(mvhost::SqliteHost());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
