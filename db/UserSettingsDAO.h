#pragma once

#include "db/AbstractBaseDAO.h"

namespace Pelu::DB {

// The `user_settings` table of a user's folder. Its rows belong to the other
// programs of the installation; the service only keeps the table definition
// so that every program creates the same table.
class UserSettingsDAO : public AbstractBaseDAO {
 public:
  std::string getTableName() const override { return "user_settings"; }
  std::string getCreateTableSql() const override {
    return "CREATE TABLE user_settings(  id INTEGER PRIMARY KEY, users_id INTEGER NOT NULL, setting TEXT)";
  }
};

}  // namespace Pelu::DB
