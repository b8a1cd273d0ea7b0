#include "db/sqlitepp/SqliteStatement.h"

#include "db/sqlitepp/SqliteException.h"

#include <sqlite3.h>

#include <cstdarg>
#include <cstring>

namespace sqlitepp {

SqliteStatement::SqliteStatement(std::string sql, sqlite3_stmt* stmt, sqlite3* db)
    : sql(std::move(sql)), stmt(stmt), db(db) {}

SqliteStatement::~SqliteStatement() {
  if (stmt != nullptr) sqlite3_finalize(stmt);
}

void SqliteStatement::bindInt(int index, int value) { checkResult(sqlite3_bind_int(stmt, index, value)); }

void SqliteStatement::bindText(int index, const std::string& text) {
  // Up to the first NUL, as a C string would be: an embedded NUL must not
  // put bytes into the column that other programs reading it cannot see.
  checkResult(sqlite3_bind_text(stmt, index, text.c_str(), static_cast<int>(std::strlen(text.c_str())),
                                SQLITE_TRANSIENT));
}

void SqliteStatement::bindNull(int index) { checkResult(sqlite3_bind_null(stmt, index)); }

void SqliteStatement::execute() {
  int rc = sqlite3_step(stmt);
  if (rc == SQLITE_ROW || rc == SQLITE_DONE) return;
  checkResult(rc);
}

std::unique_ptr<SqliteCursor> SqliteStatement::createCursor() { return std::make_unique<SqliteCursor>(db, stmt); }

void SqliteStatement::checkResult(int rc) const {
  if (rc == SQLITE_OK) return;
  throw QueryException(std::string("SqliteStatement::checkResult() : ") + sqlite3_errmsg(db), rc);
}

std::string formatSql(const char* format, ...) {
  va_list args;
  va_start(args, format);
  char* text = sqlite3_vmprintf(format, args);
  va_end(args);
  if (text == nullptr) throw SqliteException("A malloc() failed");
  std::string result(text);
  sqlite3_free(text);
  return result;
}

}  // namespace sqlitepp
