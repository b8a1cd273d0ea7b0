#pragma once

#include "db/AbstractBaseEntity.h"

#include <string>

namespace Pelu::DB {

// One row of a `log` table. When written, empty texts and numbers below 1 in
// `user_id`, `process`, `line`, `file` and `function` are stored as NULL.
class Log : public AbstractBaseEntity {
 public:
  int id = 0;
  int status = 0;   // the service always writes 10
  int user_id = 0;  // the users id the event concerns; 0 = system-wide
  int type = 0;
  int level = 0;
  std::string code;  // "10" "00" + four-digit event number
  std::string message;
  std::string register_datetime;
  std::string update_datetime;
  std::string process;  // name of the program that wrote the record
  int line = 0;         // source position; never filled by the service
  std::string file;
  std::string function;
  int version_no = 0;
};

}  // namespace Pelu::DB
