#pragma once

#include "db/sqlitepp/SqliteConnection.h"
#include "db/sqlitepp/SqliteCursor.h"
#include "db/sqlitepp/SqliteStatement.h"

#include <chrono>
#include <memory>
#include <string>

namespace Pelu::DB {

// Base of every data-access object. A data-access object serves one table
// in one SQLite file at a time: it owns the connection to that file, creates
// the table the first time it finds the file without it, and wraps its
// SQLite calls in the retry rule below.
//
// The database files are shared with the web front end and the sync
// commands, which may hold them locked at any moment. Since the connection
// sets no busy time-out, such a lock comes back as an error, and the retry
// rule waits it out: a failed call is tried again after a pause, up to an
// attempt limit (by default 602 attempts one second apart, about ten
// minutes), and the last error then reaches the caller unchanged.
//
// Not thread-safe: the owning service holds its mutex around every use,
// pauses of the retry rule included.
class AbstractBaseDAO {
 public:
  static constexpr std::chrono::milliseconds DEFAULT_RETRY_PAUSE{1000};
  static constexpr int DEFAULT_MAX_ATTEMPTS = 602;

  AbstractBaseDAO() = default;
  virtual ~AbstractBaseDAO() = default;
  AbstractBaseDAO(const AbstractBaseDAO&) = delete;
  AbstractBaseDAO& operator=(const AbstractBaseDAO&) = delete;

  // Binds the object to the database file `path`, opening it (which creates
  // a missing file) and creating the table when missing. An empty path, or
  // the path already bound (exact text), changes nothing, so consecutive
  // operations on one file share one connection.
  virtual void setDatabase(const std::string& path);
  // The open connection, opening the bound file first when it is closed.
  // Borrowed; valid until the next setDatabase or the end of this object.
  virtual sqlitepp::SqliteConnection& getConnection();
  // The CREATE TABLE text and the name of the table this object serves.
  virtual std::string getCreateTableSql() const = 0;
  virtual std::string getTableName() const = 0;

  // The connection's calls under the retry rule. The connection is fetched
  // with getConnection once, before the first attempt; a failure to open is
  // not retried. Results are owned by the caller; declare the statement
  // before its cursor.
  std::unique_ptr<sqlitepp::SqliteStatement> prepareStatement(const std::string& sql);
  void executeSql(const std::string& sql);
  // Steps the same statement again on each attempt.
  void stepStatement(sqlitepp::SqliteStatement& statement);
  std::unique_ptr<sqlitepp::SqliteCursor> openCursor(sqlitepp::SqliteStatement& statement);

  // Whether the bound file has a table named `name`.
  bool tableExists(const std::string& name);
  // Creates this object's table, inside one transaction, unless the file has
  // a table of that name; an existing table is never altered or compared.
  void ensureTable();

  // Pause between attempts and the number of attempts of the retry rule;
  // tests shorten both. An attempt limit below 1 counts as 1.
  void setRetryPause(std::chrono::milliseconds pause) { retryPause = pause; }
  void setMaxAttempts(int attempts) { maxAttempts = attempts; }
  std::chrono::milliseconds getRetryPause() const { return retryPause; }
  int getMaxAttempts() const { return maxAttempts; }

  const std::string& getDatabasePath() const { return databasePath; }
  bool isTableReady() const { return tableReady; }

  // "BEGIN TRANSACTION" … "END TRANSACTION" on this object's connection.
  // When the scope ends without commit(), or commit() fails, the transaction
  // is rolled back, so an error in the middle does not leave the connection
  // inside a transaction that makes every later "BEGIN TRANSACTION" fail.
  // Both texts go through the retry rule. Used on one thread, within one
  // operation of the owning service.
  class Transaction {
   public:
    // Requires: the object is bound. Throws what executeSql throws.
    explicit Transaction(AbstractBaseDAO& dao);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

   private:
    AbstractBaseDAO& dao;
    bool done = false;
  };

 protected:
  // The file this object is bound to; empty until the first setDatabase.
  std::string databasePath;
  // The table was found or created in the bound file. False again whenever
  // the object is bound to another file. It stays false after a failed
  // table check while the connection stays open: the check is then not
  // repeated until the next binding.
  bool tableReady = false;
  sqlitepp::SqliteConnection connection;

 private:
  template <typename Call>
  auto withRetry(Call call) -> decltype(call());

  std::chrono::milliseconds retryPause = DEFAULT_RETRY_PAUSE;
  int maxAttempts = DEFAULT_MAX_ATTEMPTS;
};

}  // namespace Pelu::DB
