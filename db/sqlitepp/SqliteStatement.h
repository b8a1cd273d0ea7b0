#pragma once

#include "db/sqlitepp/SqliteCursor.h"

#include <memory>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace sqlitepp {

// One prepared statement. Owns the statement handle and finalises it when it
// ends; borrows the connection handle it was prepared on, which must stay
// open until this object is destroyed. Statements are not cached: each
// operation prepares, uses and destroys its own. One thread at a time.
class SqliteStatement {
 public:
  // Takes ownership of `stmt`. Made by SqliteConnection::createStatement.
  SqliteStatement(std::string sql, sqlite3_stmt* stmt, sqlite3* db);
  virtual ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // Parameter indexes count from 1. Each throws QueryException.
  void bindInt(int index, int value);
  // Binds the text up to its first NUL, as UTF-8; SQLite keeps its own copy.
  void bindText(int index, const std::string& text);
  void bindNull(int index);

  // One step. A row or the end both count as success; anything else throws
  // QueryException. Stepping again after an error is allowed: SQLite resets
  // the statement itself, which is what a retry of a write relies on.
  void execute();

  // A cursor over this statement's rows. Caller owns the result; this
  // statement must outlive it, so declare the statement first.
  std::unique_ptr<SqliteCursor> createCursor();

  // Throws QueryException "SqliteStatement::checkResult() : <SQLite's
  // error text>" with `rc` unless rc is 0.
  void checkResult(int rc) const;

  const std::string& getSql() const { return sql; }

 private:
  std::string sql;
  sqlite3_stmt* stmt;
  sqlite3* db;
};

// Builds a text with SQLite's printf rules ("%q" doubles single quotes,
// "%Q" also adds the surrounding quotes, "%w" doubles double quotes).
// Throws SqliteException "A malloc() failed" when SQLite has no memory.
std::string formatSql(const char* format, ...);

}  // namespace sqlitepp
