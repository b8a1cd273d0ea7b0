#pragma once

#include "db/AbstractBaseDAO.h"

namespace Pelu::DB {

// The `system` table in the system folder: settings of the installation.
// Its rows belong to the other programs; the service only keeps the table
// definition so that every program creates the same table.
class SystemDAO : public AbstractBaseDAO {
 public:
  std::string getTableName() const override { return "system"; }
  std::string getCreateTableSql() const override {
    return "CREATE TABLE system(  id INTEGER PRIMARY KEY, status INTEGER NOT NULL DEFAULT 1, code TEXT UNIQUE, "
           "value TEXT, version_no INTEGER);";
  }
};

}  // namespace Pelu::DB
