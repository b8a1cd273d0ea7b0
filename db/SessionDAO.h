#pragma once

#include "db/AbstractBaseDAO.h"

namespace Pelu::DB {

// The `session` table in the users folder: the web front end's sessions. Its
// rows belong to the front end; the service only keeps the table definition
// so that every program creates the same table.
class SessionDAO : public AbstractBaseDAO {
 public:
  std::string getTableName() const override { return "session"; }
  std::string getCreateTableSql() const override {
    return "CREATE TABLE " + getTableName() +
           " (  id INTEGER PRIMARY KEY, users_id INTEGER NOT NULL DEFAULT 0, session_id TEXT NOT NULL, contents TEXT)";
  }
};

}  // namespace Pelu::DB
