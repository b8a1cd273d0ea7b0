#pragma once

#include "db/AbstractBaseEntity.h"

#include <string>

namespace Pelu::DB {

// The one row of a user's `calendar` table. Written by the other programs;
// the service only reads it for the backup.
class Calendar : public AbstractBaseEntity {
 public:
  int id = 0;  // 0 when the user has no calendar row
  int status = 0;
  int users_id = 0;  // the owning users id
  std::string data;  // the user's whole calendar as iCalendar text
  std::string cache;
  std::string register_datetime;
  std::string update_datetime;
  int version_no = 0;
};

}  // namespace Pelu::DB
