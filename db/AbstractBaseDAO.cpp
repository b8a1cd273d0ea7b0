#include "db/AbstractBaseDAO.h"

#include "db/sqlitepp/SqliteException.h"

#include <thread>

namespace Pelu::DB {

template <typename Call>
auto AbstractBaseDAO::withRetry(Call call) -> decltype(call()) {
  for (int attempt = 1;; ++attempt) {
    try {
      return call();
    } catch (const sqlitepp::SqliteException&) {
      // Any error of the family, a busy or locked database above all; the
      // last one leaves as it was raised.
      if (attempt >= maxAttempts) throw;
    }
    std::this_thread::sleep_for(retryPause);
  }
}

void AbstractBaseDAO::setDatabase(const std::string& path) {
  if (path.empty() || path == databasePath) return;
  connection.close();
  tableReady = false;
  databasePath = path;
  connection.open(databasePath);
  if (!tableReady) {
    ensureTable();
    tableReady = true;
  }
}

sqlitepp::SqliteConnection& AbstractBaseDAO::getConnection() {
  if (connection.isOpen()) return connection;
  connection.open(databasePath);
  if (!tableReady) {
    ensureTable();
    tableReady = true;
  }
  return connection;
}

std::unique_ptr<sqlitepp::SqliteStatement> AbstractBaseDAO::prepareStatement(const std::string& sql) {
  sqlitepp::SqliteConnection& conn = getConnection();
  return withRetry([&] { return conn.createStatement(sql); });
}

void AbstractBaseDAO::executeSql(const std::string& sql) {
  sqlitepp::SqliteConnection& conn = getConnection();
  withRetry([&] { conn.executeStatement(sql); });
}

void AbstractBaseDAO::stepStatement(sqlitepp::SqliteStatement& statement) {
  withRetry([&] { statement.execute(); });
}

std::unique_ptr<sqlitepp::SqliteCursor> AbstractBaseDAO::openCursor(sqlitepp::SqliteStatement& statement) {
  return withRetry([&] { return statement.createCursor(); });
}

bool AbstractBaseDAO::tableExists(const std::string& name) {
  std::unique_ptr<sqlitepp::SqliteStatement> statement =
      prepareStatement("SELECT count(*) FROM sqlite_master WHERE type='table' AND name=?");
  statement->bindText(1, name);
  std::unique_ptr<sqlitepp::SqliteCursor> cursor = openCursor(*statement);
  while (cursor->next()) {
    if (cursor->getInt(0) > 0) return true;
  }
  return false;
}

void AbstractBaseDAO::ensureTable() {
  if (tableExists(getTableName())) return;
  Transaction transaction(*this);
  executeSql(getCreateTableSql());
  transaction.commit();
}

AbstractBaseDAO::Transaction::Transaction(AbstractBaseDAO& dao) : dao(dao) { dao.executeSql("BEGIN TRANSACTION"); }

AbstractBaseDAO::Transaction::~Transaction() {
  // On the error path only. A failed rollback cannot be reported without
  // hiding the error on its way out; SQLite then rolls back when the
  // connection closes.
  if (!done) dao.connection.rollback();
}

void AbstractBaseDAO::Transaction::commit() {
  dao.executeSql("END TRANSACTION");
  done = true;
}

}  // namespace Pelu::DB
