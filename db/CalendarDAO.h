#pragma once

#include "db/AbstractBaseDAO.h"
#include "db/Calendar.h"

#include <memory>

namespace Pelu::DB {

// The `calendar` table of a user's folder. The sync commands write it; the
// service reads it for the backup. Used by UserService under its mutex.
class CalendarDAO : public AbstractBaseDAO {
 public:
  std::string getTableName() const override { return "calendar"; }
  std::string getCreateTableSql() const override {
    return "CREATE TABLE calendar(  id INTEGER PRIMARY KEY, status INTEGER NOT NULL DEFAULT 0, "
           "users_id INTEGER NOT NULL, data TEXT, cache TEXT, register_datetime TEXT, update_datetime TEXT, "
           "version_no INTEGER)";
  }

  // The calendar row of `usersId`, or an empty record (id 0) when the bound
  // file has none. Never null; the caller owns the record.
  // Throws SelectException "引数が不正です。" for a usersId below 1 and
  // "2つ以上のデータを取得しました" when the file holds two or more rows for
  // the user.
  std::shared_ptr<Calendar> findByUserId(int usersId);
};

}  // namespace Pelu::DB
