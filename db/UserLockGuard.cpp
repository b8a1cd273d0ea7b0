#include "db/UserLockGuard.h"

#include "db/ServiceManager.h"
#include "db/UserService.h"
#include "service/Logging.h"

#include <exception>
#include <string>

namespace Pelu::Service {

UserLockGuard::UserLockGuard(UserService& service, int usersId, int kind, bool held)
    : service(service), usersId(usersId), kind(kind), held(held) {}

UserLockGuard::UserLockGuard(int usersId, int kind, bool held)
    : UserLockGuard(ServiceManager::instance().userService, usersId, kind, held) {}

UserLockGuard::~UserLockGuard() {
  if (!held) return;
  try {
    service.unlockUser(usersId, kind);
  } catch (const std::exception& e) {
    // A destructor must not throw, least of all while an exception of the
    // job is on its way out; the lock stays for the start-up clean-up.
    appLogger().error("cannot release the lock of user " + std::to_string(usersId) + ": " + e.what());
  }
}

}  // namespace Pelu::Service
