#include "db/ServiceManager.h"

namespace Pelu::Service {

ServiceManager& ServiceManager::instance() {
  // Constructed on first use, which happens before main's threads start,
  // and destroyed at process exit after every thread has been joined.
  static ServiceManager manager;
  return manager;
}

}  // namespace Pelu::Service
