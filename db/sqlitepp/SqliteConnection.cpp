#include "db/sqlitepp/SqliteConnection.h"

#include "db/sqlitepp/SqliteException.h"

#include <sqlite3.h>

namespace sqlitepp {

SqliteConnection::~SqliteConnection() { close(); }

void SqliteConnection::open(const std::string& path) {
  close();
  sqlite3* handle = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) {
    // SQLite hands back a handle for most failures, only so the error text
    // can be read from it; it is useless for anything else.
    std::string message = "SqliteConnection::open() : ";
    message += handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc);
    sqlite3_close(handle);
    throw ConnectionException(message);
  }
  db = handle;
}

void SqliteConnection::close() {
  if (db == nullptr) return;
  sqlite3_close(db);
  db = nullptr;
}

std::unique_ptr<SqliteStatement> SqliteConnection::createStatement(const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(stmt);
    throw QueryException(std::string("SqliteConnection::createStatement() : ") + sqlite3_errmsg(db), rc);
  }
  return std::make_unique<SqliteStatement>(sql, stmt, db);
}

void SqliteConnection::executeStatement(const std::string& sql) {
  char* error = nullptr;
  int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
  if (rc != SQLITE_OK) {
    std::string message = "SqliteConnection::executeStatement() : ";
    if (error != nullptr) {
      message += error;
      sqlite3_free(error);
    }
    throw QueryException(message, rc);
  }
}

bool SqliteConnection::inTransaction() const { return db != nullptr && sqlite3_get_autocommit(db) == 0; }

bool SqliteConnection::rollback() noexcept {
  if (!inTransaction()) return true;
  return sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr) == SQLITE_OK;
}

}  // namespace sqlitepp
