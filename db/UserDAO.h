#pragma once

#include "db/AbstractBaseDAO.h"

namespace Pelu::DB {

// The `user` table of a user's folder: the user's calendar account. Its rows
// belong to the other programs of the installation; the service only keeps
// the table definition so that every program creates the same table.
class UserDAO : public AbstractBaseDAO {
 public:
  std::string getTableName() const override { return "user"; }
  std::string getCreateTableSql() const override {
    return "CREATE TABLE user(  id INTEGER PRIMARY KEY, status INTEGER NOT NULL DEFAULT 0, users_id INTEGER NOT NULL, "
           "calendar_id TEXT, calendar_password TEXT, calendar_url TEXT, "
           "calendar_auth_type INTEGER NOT NULL DEFAULT 1, version_no INTEGER)";
  }
};

}  // namespace Pelu::DB
