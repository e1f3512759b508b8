// vorlex-lock-holder DB MODE: holds Pelmora's database from another process, as
// Pelmora does while it saves, until a line or the end of standard input.
//   exclusive   BEGIN EXCLUSIVE: nobody else may read
//   write       BEGIN IMMEDIATE and a change not yet committed; committed at the end
//   wal-writer  one order with its line and one cash receipt per transaction,
//               committed one after the other ("Auftrag n" / "Kasse n", May 2026)
// Prints "ready" once it holds the database, and at the end the number of
// transactions it committed.
#include <poll.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::fprintf(stderr, "lock holder: %s: %s\n", sql.c_str(), error != nullptr ? error : "");
    sqlite3_free(error);
    return false;
  }
  return true;
}

bool StopRequested(bool wait) {
  pollfd in{STDIN_FILENO, POLLIN, 0};
  return ::poll(&in, 1, wait ? -1 : 0) > 0;
}

void Ready() {
  std::printf("ready\n");
  std::fflush(stdout);
}

// One transaction of the writer: the n-th order with one line of 100.00 at
// 19 % and the n-th cash receipt of 10.00 at 19 %, all dated 20 May 2026.
bool WriteOne(sqlite3* db, int n) {
  const std::string id = std::to_string(1000000 + n);
  const std::string day = "46162";  // 20 May 2026
  return Exec(db, "BEGIN") &&
         Exec(db,
              "INSERT INTO auftrag (id, besitzerindex, papierkorb, bezahlt, davonbezahlt, termin, "
              "bezahltam, bezeichnung, mwst, skonto, auftragstyp, rechbetrag) VALUES (" +
                  id + ", 1, 0, -1, 0, " + day + ", " + day + ", 'Auftrag " + std::to_string(n) +
                  "', 19, 0, 0, 0)") &&
         Exec(db, "INSERT INTO verbindauftrag (auftragindex, anzahl, preis, mwst) VALUES (" + id +
                      ", 1, 100, 19)") &&
         Exec(db,
              "INSERT INTO kasse (papierkorb, besitzerindex, neinaus, termin, bezeichnung, "
              "betrag, mwst) VALUES (0, 1, 0, " +
                  day + ", 'Kasse " + std::to_string(n) + "', 10, 19)") &&
         Exec(db, "COMMIT");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vorlex-lock-holder DB exclusive|write|wal-writer\n");
    return 2;
  }
  const std::string mode = argv[2];
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "lock holder: cannot open %s\n", argv[1]);
    return 1;
  }
  sqlite3_busy_timeout(db, 5000);
  int committed = 0;
  bool ok = true;
  if (mode == "exclusive") {
    ok = Exec(db, "BEGIN EXCLUSIVE");
    Ready();
    StopRequested(true);
    ok = ok && Exec(db, "COMMIT");
  } else if (mode == "write") {
    ok = Exec(db, "BEGIN IMMEDIATE") && Exec(db, "UPDATE kasse SET betrag = betrag + 1000");
    Ready();
    StopRequested(true);
    ok = ok && Exec(db, "COMMIT");
    committed = ok ? 1 : 0;
  } else if (mode == "wal-writer") {
    ok = WriteOne(db, 1);
    committed = ok ? 1 : 0;
    Ready();
    while (ok && !StopRequested(false)) {
      ok = WriteOne(db, committed + 1);
      if (ok) ++committed;
      ::usleep(1000);  // about as often as a busy user saves
    }
  } else {
    std::fprintf(stderr, "lock holder: unknown mode %s\n", mode.c_str());
    ok = false;
  }
  sqlite3_close(db);
  std::printf("%d\n", committed);
  return ok ? 0 : 1;
}
