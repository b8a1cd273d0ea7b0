#pragma once

#include "db/AbstractBaseDAO.h"
#include "db/Users.h"

namespace Pelu::DB {

// The `users` table in the users folder, the service's work queue. The web
// front end adds rows and sets the request flag; the service lists rows and
// writes status and trigger back. Used by UserService under its mutex.
class UsersDAO : public AbstractBaseDAO {
 public:
  std::string getTableName() const override { return "users"; }
  std::string getCreateTableSql() const override;

  // Rows with status >= minStatus, in the order SQLite returns them.
  // Caller owns the result.
  UsersListPtr findByMinStatus(int minStatus);
  // Rows with status 20 and trigger 10, least recently updated first.
  UsersListPtr findRequested();
  // A new row with the record's status and dn_user_id; the table fills in
  // the rest. The record's id is left as it is.
  void insert(const Users& users);
  // Writes status and trigger of the row `users.id` and stamps its update
  // time. dn_user_id is deliberately not written: it belongs to the front
  // end.
  void update(const Users& users);
};

}  // namespace Pelu::DB
