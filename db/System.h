#pragma once

#include <string>

namespace Pelu::DB {

// One row of the `system` table: a setting of the installation kept by the
// other programs. The service defines the table but reads no row of it.
class System {
 public:
  int id = 0;
  int status = 0;
  std::string code;  // the setting's unique key
  std::string value;
  int version_no = 0;
};

}  // namespace Pelu::DB
