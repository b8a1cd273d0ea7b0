#pragma once

#include "db/AbstractBaseService.h"
#include "db/SystemDAO.h"

namespace Pelu::Service {

// Holds the data-access object of the installation's `system` table. The
// service performs no operation on it; the table and its rows belong to the
// other programs.
class SystemService : public AbstractBaseService {
 private:
  // Guarded by `mutex`.
  DB::SystemDAO systemDAO;
};

}  // namespace Pelu::Service
