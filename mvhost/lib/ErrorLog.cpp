#include "mvhost/lib/ErrorLog.h"

#include <ctime>
#include <fstream>

#include "mvhost/lib/HostStore.h"

namespace mvhost {

void AppendErrorLog(const std::string& entry) {
  std::string home = HostStore::HomeFromEnvironment();
  if (home.empty()) return;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32] = {};
  std::strftime(stamp, sizeof(stamp), "%Y-%m-%d %H:%M:%S", &local);
  std::ofstream log(home + "/error.log", std::ios::app);
  log << stamp << " " << entry << "\n";
}

}  // namespace mvhost
