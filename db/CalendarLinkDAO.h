#pragma once

#include "db/AbstractBaseDAO.h"

namespace Pelu::DB {

// The `calendar_link` table of a user's folder: which groupware entry
// matches which calendar entry. Its rows belong to the sync commands; the
// service only keeps the table definition so that every program creates the
// same table.
class CalendarLinkDAO : public AbstractBaseDAO {
 public:
  std::string getTableName() const override { return "calendar_link"; }
  std::string getCreateTableSql() const override {
    return "CREATE TABLE calendar_link(  id INTEGER PRIMARY KEY, status INTEGER NOT NULL DEFAULT 0, "
           "users_id INTEGER NOT NULL, link_id TEXT NOT NULL, link_type TEXT NOT NULL, pear_id TEXT NOT NULL, "
           "pear_type TEXT NOT NULL, update_tz TEXT, start_tz TEXT, end_tz TEXT, version_no INTEGER);";
  }
};

}  // namespace Pelu::DB
