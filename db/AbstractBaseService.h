#pragma once

#include <mutex>

namespace Pelu::Service {

// Base of the services of the ServiceManager. Each service owns one mutex
// and holds it, through a scoped lock, for the whole of every operation that
// touches its data-access objects, pauses of the retry rule included. Two
// operations of one service thus never overlap, while different services
// work in parallel. No operation holds two service mutexes at once.
class AbstractBaseService {
 public:
  AbstractBaseService() = default;
  virtual ~AbstractBaseService() = default;
  AbstractBaseService(const AbstractBaseService&) = delete;
  AbstractBaseService& operator=(const AbstractBaseService&) = delete;

 protected:
  // Guards the data-access objects of the derived service and every member
  // the derived class declares as guarded by it.
  mutable std::mutex mutex;
};

}  // namespace Pelu::Service
