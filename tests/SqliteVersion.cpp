// Prints the version of the SQLite library the programs of this build use.
#include <sqlite3.h>

#include <cstdio>

int main() {
  std::printf("%s (%s)\n", sqlite3_libversion(), sqlite3_sourceid());
  return 0;
}
