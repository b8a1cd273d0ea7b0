#pragma once

#include "db/AbstractBaseDAO.h"
#include "db/Log.h"

#include <string>
#include <vector>

namespace Pelu::DB {

// The `log` table of one month file (the system's or one user's). Besides
// its bound file it keeps the list of files attached to its connection
// (LogService attaches the previous month of the same owner as schema
// "as_1"). Used by LogService under its mutex.
class LogDAO : public AbstractBaseDAO {
 public:
  std::string getTableName() const override { return "log"; }
  std::string getCreateTableSql() const override {
    return "CREATE TABLE log (  id INTEGER PRIMARY KEY, status INTEGER NOT NULL DEFAULT 0, user_id INTEGER, "
           "type INTEGER DEFAULT 0, level INTEGER DEFAULT 0, code TEXT, message TEXT, "
           "register_datetime TEXT NOT NULL, update_datetime TEXT NOT NULL, process TEXT, line INTEGER, "
           "file TEXT, function TEXT, version_no INTEGER DEFAULT 1)";
  }

  // Binds as the base does; a new binding starts with nothing attached.
  void setDatabase(const std::string& path) override;

  // Inserts one record; the table sets id, both date-times and version_no.
  // user_id and line below 1, and empty process, file and function, are
  // stored as NULL.
  void insert(const Log& log);

  // Attaches the database file at `path` as "as_<n>", n being its place in
  // attach order from 1. Nothing happens when nothing exists at `path` or
  // the file is already attached.
  // Throws boost::filesystem::filesystem_error when the existence test
  // fails, and what executeSql throws.
  void attach(const std::string& path);

  // Files attached to the current connection, in attach order.
  const std::vector<std::string>& getAttachedPaths() const { return attachedPaths; }

 private:
  std::vector<std::string> attachedPaths;
};

}  // namespace Pelu::DB
