#pragma once

#include "db/sqlitepp/SqliteException.h"

namespace Pelu::DB {

// A read was given a bad argument or found an unexpected number of rows.
// Part of the SqliteException family, so the data-access retry rule and the
// callers' handlers treat it like any other database error.
class SelectException : public sqlitepp::SqliteException {
 public:
  using sqlitepp::SqliteException::SqliteException;
};

}  // namespace Pelu::DB
