#pragma once

#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace sqlitepp {

// Walks the result rows of one statement. Borrows the statement and its
// connection: it never resets or finalises the statement, which must outlive
// it. One thread at a time.
class SqliteCursor {
 public:
  // Made by SqliteStatement::createCursor.
  SqliteCursor(sqlite3* db, sqlite3_stmt* stmt);
  virtual ~SqliteCursor() = default;
  SqliteCursor(const SqliteCursor&) = delete;
  SqliteCursor& operator=(const SqliteCursor&) = delete;

  // Steps to the next row: true when there is one, false at the end.
  // Throws QueryException "SqliteCursor::checkResult() : ..." on any other
  // result.
  bool next();

  // Column indexes count from 0. An index outside the statement's columns
  // throws QueryException with the message "getInt" / "getString" and code
  // 25 (SQLITE_RANGE). NULL reads as 0 and as the empty text.
  int getInt(int index) const;
  // The column's text as UTF-8, up to its first NUL.
  std::string getString(int index) const;

  bool isEof() const { return eof; }
  int getRowCount() const { return rowCount; }
  int getColumnCount() const { return columnCount; }

 private:
  void checkResult(int rc) const;

  bool eof = false;    // a step has answered SQLITE_DONE
  int rowCount = 0;    // rows fetched so far
  int columnCount;     // result columns of the statement, 0 without one
  sqlite3* db;         // borrowed, for error texts
  sqlite3_stmt* stmt;  // borrowed
};

}  // namespace sqlitepp
