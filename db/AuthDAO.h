#pragma once

#include "db/AbstractBaseDAO.h"

namespace Pelu::DB {

// The `auth` table of a user's folder: the user's access tokens. Its rows
// belong to the other programs of the installation; the service only keeps
// the table definition so that every program creates the same table.
class AuthDAO : public AbstractBaseDAO {
 public:
  std::string getTableName() const override { return "auth"; }
  std::string getCreateTableSql() const override {
    return "CREATE TABLE auth(  id INTEGER PRIMARY KEY, users_id INTEGER NOT NULL, access_token TEXT, "
           "expires_in TEXT, refresh_token TEXT, token_type TEXT)";
  }
};

}  // namespace Pelu::DB
