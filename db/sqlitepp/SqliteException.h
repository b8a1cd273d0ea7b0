#pragma once

#include <exception>
#include <string>

namespace sqlitepp {

// Root of every error this layer raises. The message carries the name of
// the failing operation followed by SQLite's own error text, so a caller
// can log it as it stands. Nothing below this layer logs.
class SqliteException : public std::exception {
 public:
  explicit SqliteException(std::string message) : message(std::move(message)) {}
  const char* what() const noexcept override { return message.c_str(); }

 private:
  std::string message;
};

// A statement could not be prepared, bound, stepped or read.
class QueryException : public SqliteException {
 public:
  QueryException(std::string message, int code) : SqliteException(std::move(message)), code(code) {}

  // The SQLite result code that caused the error, or 25 (SQLITE_RANGE) for a
  // column index outside the cursor's columns.
  int code;
};

// A database file could not be opened.
class ConnectionException : public SqliteException {
 public:
  using SqliteException::SqliteException;
};

}  // namespace sqlitepp
