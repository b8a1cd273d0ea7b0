#pragma once

#include <Poco/Notification.h>

namespace Pelu {

// One sync job: the user to synchronise. Reference counted by the
// framework; the job queue and then the worker that took it hold it.
class ProcessNotification : public Poco::Notification {
 public:
  using Ptr = Poco::AutoPtr<ProcessNotification>;

  explicit ProcessNotification(int userId) : userId(userId) {}

  // The `id` of the users row; 0 is never queued, so never reaches a worker.
  const int userId;
};

}  // namespace Pelu
