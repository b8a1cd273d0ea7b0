#pragma once

#include "db/AbstractBaseService.h"
#include "db/SessionDAO.h"

namespace Pelu::Service {

// Holds the data-access object of the web front end's `session` table. The
// service performs no operation on it; the rows belong to the front end.
class SessionService : public AbstractBaseService {
 private:
  // Guarded by `mutex`.
  DB::SessionDAO sessionDAO;
};

}  // namespace Pelu::Service
