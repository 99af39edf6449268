// Another process that locks a host store on request, for the tests of runs
// that meet a locked store. Reads commands from standard input, one a line,
// and answers each on standard output:
//   lock    takes the store exclusively (BEGIN EXCLUSIVE): "locked", or
//           "busy" when a reader keeps it from the lock
//   unlock  lets it go again: "unlocked"
// It ends at the end of its input, letting the lock go.
// Usage: store_lock_holder STORE

#include <sqlite3.h>

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: store_lock_holder STORE\n");
    return 2;
  }
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "store_lock_holder: cannot open %s\n", argv[1]);
    return 2;
  }
  // The program that reads the store waits while this one is asked to lock
  // it: a reader's lock it meets then stays, and waiting is of no use.
  sqlite3_busy_timeout(db, 0);
  bool locked = false;
  for (std::string command; std::getline(std::cin, command);) {
    if (command == "lock" && !locked) {
      locked = sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
      std::cout << (locked ? "locked" : "busy") << std::endl;
    } else if (command == "unlock") {
      if (locked) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      locked = false;
      std::cout << "unlocked" << std::endl;
    } else {
      std::cout << "unknown command" << std::endl;
    }
  }
  sqlite3_close(db);
  return 0;
}
