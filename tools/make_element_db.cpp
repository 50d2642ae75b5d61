// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the element database Durnix.mdb (SQLite) from the reviewable SQL text in
// data/elements/elements.sql:
//
//   durnix-make-element-db data/elements/elements.sql OUT/Durnix.mdb

#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: durnix-make-element-db ELEMENTS.sql DATABASE\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "%s cannot be read\n", argv[1]);
    return 1;
  }
  std::ostringstream sql;
  sql << in.rdbuf();
  const std::string temporary = std::string(argv[2]) + ".new";
  std::remove(temporary.c_str());
  sqlite3* db = nullptr;
  if (sqlite3_open(temporary.c_str(), &db) != SQLITE_OK) {
    std::fprintf(stderr, "%s cannot be created\n", temporary.c_str());
    return 1;
  }
  char* error = nullptr;
  // The script holds its own transaction.
  if (sqlite3_exec(db, sql.str().c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::fprintf(stderr, "%s: %s\n", argv[1], error != nullptr ? error : "error");
    sqlite3_free(error);
    sqlite3_close(db);
    return 1;
  }
  sqlite3_close(db);
  if (std::rename(temporary.c_str(), argv[2]) != 0) {
    std::fprintf(stderr, "%s cannot be written\n", argv[2]);
    return 1;
  }
  return 0;
}
