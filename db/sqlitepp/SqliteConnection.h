#pragma once

#include "db/sqlitepp/SqliteStatement.h"

#include <memory>
#include <string>

struct sqlite3;

namespace sqlitepp {

// One SQLite connection to one database file. Owns the handle and closes it
// when it ends; statements prepared on it must be destroyed first.
//
// No busy time-out and no pragmas are set: a database that another
// connection holds locked answers at once with SQLITE_BUSY or SQLITE_LOCKED,
// and the data-access objects above decide whether to try again.
//
// Not thread-safe: one thread at a time uses a connection together with its
// statements and cursors (the owning service's mutex sees to that).
class SqliteConnection {
 public:
  SqliteConnection() = default;
  virtual ~SqliteConnection();
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  // Opens `path` for reading and writing, creating the file when missing.
  // Throws ConnectionException. A failed open leaves the connection closed,
  // so the next attempt opens afresh instead of working on a broken handle.
  void open(const std::string& path);
  // Closes the handle if open. Requires: every statement of this connection
  // has been destroyed.
  void close();
  bool isOpen() const { return db != nullptr; }

  // Prepares the first statement of `sql`; the rest of the text is ignored.
  // Throws QueryException. Caller owns the result; it must not outlive this
  // connection's handle.
  std::unique_ptr<SqliteStatement> createStatement(const std::string& sql);
  // Runs every statement of `sql`, discarding result rows. Throws
  // QueryException.
  void executeStatement(const std::string& sql);

  // True while a transaction begun on this connection is open.
  bool inTransaction() const;
  // Rolls back the open transaction, if any. Used on the error path, where
  // the error already on its way must not be replaced by a second one, so it
  // reports failure only through its result.
  bool rollback() noexcept;

  // The raw handle (null while closed); borrowed, for diagnostics and tests.
  sqlite3* handle() const { return db; }

 private:
  sqlite3* db = nullptr;
};

}  // namespace sqlitepp
