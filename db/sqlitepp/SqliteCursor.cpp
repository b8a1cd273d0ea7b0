#include "db/sqlitepp/SqliteCursor.h"

#include "db/sqlitepp/SqliteException.h"

#include <sqlite3.h>

namespace sqlitepp {

SqliteCursor::SqliteCursor(sqlite3* db, sqlite3_stmt* stmt)
    : columnCount(stmt != nullptr ? sqlite3_column_count(stmt) : 0), db(db), stmt(stmt) {}

bool SqliteCursor::next() {
  int rc = sqlite3_step(stmt);
  if (rc == SQLITE_ROW) {
    ++rowCount;
    return true;
  }
  if (rc == SQLITE_DONE) {
    eof = true;
    return false;
  }
  checkResult(rc);
  return false;
}

int SqliteCursor::getInt(int index) const {
  if (index < 0 || index >= columnCount) throw QueryException("getInt", SQLITE_RANGE);
  return sqlite3_column_int(stmt, index);
}

std::string SqliteCursor::getString(int index) const {
  if (index < 0 || index >= columnCount) throw QueryException("getString", SQLITE_RANGE);
  const unsigned char* text = sqlite3_column_text(stmt, index);
  if (text == nullptr) return std::string();
  return std::string(reinterpret_cast<const char*>(text));
}

void SqliteCursor::checkResult(int rc) const {
  if (rc == SQLITE_OK) return;
  throw QueryException(std::string("SqliteCursor::checkResult() : ") + sqlite3_errmsg(db), rc);
}

}  // namespace sqlitepp
