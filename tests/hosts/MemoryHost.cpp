#include "tests/hosts/MemoryHost.h"

#include <cstdio>
#include <cstdlib>

#include "mvhost/lib/DataImport.h"
#include "mvhost/lib/DataValidate.h"
#include "mvhost/lib/HostSession.h"
#include "mvhost/lib/SetMgr.h"
#include "mvhost/lib/StoreAdmin.h"

namespace hosts {

MemoryHost::MemoryHost() {
  std::string error;
  if (!store_.CreateInMemory(&error)) {
    // Without its store no test of this host means anything.
    std::fprintf(stderr, "MemoryHost: cannot create the store: %s\n", error.c_str());
    std::abort();
  }
  // Set objects keep the data set and cursors of the store they last read.
  mvhost::SetMgr::UnbindSharedSetObjects();
  before_ = mvhost::HostSession::Bind(&store_);
}

MemoryHost::~MemoryHost() {
  mvhost::HostSession::Bind(before_);
  mvhost::SetMgr::UnbindSharedSetObjects();
  store_.Close();
}

bool MemoryHost::Add(const mvhost::DataSetModel& model, std::string* error) {
  mvhost::ImportOptions options;
  options.replace = true;
  mvhost::ImportOutcome outcome;
  return mvhost::ValidateModel(model, error) &&
         mvhost::WriteDataSet(store_, model, options, &outcome, error);
}

bool MemoryHost::SetState(const std::string& key, const std::string& value, std::string* error) {
  return mvhost::WriteStateEntry(store_.db(), key, value, error);
}

}  // namespace hosts
