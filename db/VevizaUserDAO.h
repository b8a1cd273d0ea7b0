#pragma once

#include "db/AbstractBaseDAO.h"

namespace Pelu::DB {

// The `veviza_user` table of a user's folder: the user's groupware account.
// Its rows belong to the other programs of the installation; the service
// only keeps the table definition so that every program creates the same
// table.
class VevizaUserDAO : public AbstractBaseDAO {
 public:
  std::string getTableName() const override { return "veviza_user"; }
  std::string getCreateTableSql() const override {
    return "CREATE TABLE " + getTableName() +
           " (  id INTEGER PRIMARY KEY, users_id INTEGER NOT NULL DEFAULT 0, cb_user_id INTEGER NOT NULL DEFAULT 0, "
           "login_id TEXT, password TEXT, name TEXT, mail_address TEXT, rss_id TEXT, stoken TEXT, authority INTEGER)";
  }
};

}  // namespace Pelu::DB
