#pragma once

#include "db/AbstractBaseEntity.h"

#include <memory>
#include <string>
#include <vector>

namespace Pelu::DB {

// One row of the `users` table, the service's work queue. Field names are
// the column names, which the other programs of the installation share.
class Users : public AbstractBaseEntity {
 public:
  int id = 0;  // the users id; 0 = no user (a record not yet stored)
  // Below 0: left out of every list; 0 or more: a user (lock clean-up,
  // backup); 20 or more: synchronised periodically.
  int status = 0;
  // 10 with status 20: a synchronisation was requested. The service only
  // ever writes 0 back; other programs set it.
  int trigger = 0;
  int dn_user_id = 0;  // the user's id on the groupware side; carried, never interpreted
  std::string register_datetime;
  std::string update_datetime;  // "YYYY-MM-DD HH:MM:SS", local time
  int version_no = 0;
};

// A list of users in the order SQLite returned the rows. The list owns its
// records; the caller owns the list.
using UsersList = std::vector<Users>;
using UsersListPtr = std::shared_ptr<UsersList>;

}  // namespace Pelu::DB
