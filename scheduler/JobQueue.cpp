#include "scheduler/JobQueue.h"

#include "service/Logging.h"

#include <Poco/Format.h>

#include <algorithm>

namespace Pelu {

void JobQueue::addJob(const Poco::AutoPtr<Poco::Notification>& notification) {
  const auto* job = dynamic_cast<const ProcessNotification*>(notification.get());
  if (job == nullptr || job->userId == 0) return;
  const int id = job->userId;
  {
    // The duplicate test and the append happen under one hold of the mutex,
    // so two requests for the same user can never both be queued.
    std::lock_guard<std::mutex> lock(idsMutex);
    if (std::find(queuedIds.begin(), queuedIds.end(), id) != queuedIds.end()) return;
    queuedIds.push_back(id);
    notifications.enqueueNotification(notification);
  }
  MIVO_TRACE(appLogger(), Poco::format("ADD NOTIFICATION ID %d", id));
}

void JobQueue::removeJob(int id) {
  {
    std::lock_guard<std::mutex> lock(idsMutex);
    auto it = std::find(queuedIds.begin(), queuedIds.end(), id);
    if (it == queuedIds.end()) return;
    queuedIds.erase(it);
  }
  MIVO_TRACE(appLogger(), Poco::format("REMOVE NOTIFICATION ID %d", id));
}

ProcessNotification::Ptr JobQueue::waitJob() {
  // The framework's queue has no stopped state: a worker that checked the
  // flag just before stop() woke the waiters would sleep through it. The
  // bounded wait makes such a worker see the flag a moment later.
  constexpr long kWakeCheckMs = 200;
  while (!stopped) {
    Poco::AutoPtr<Poco::Notification> notification = notifications.waitDequeueNotification(kWakeCheckMs);
    if (stopped) return nullptr;
    if (notification) return notification.cast<ProcessNotification>();
  }
  return nullptr;
}

bool JobQueue::empty() const { return notifications.empty(); }

void JobQueue::stop() {
  stopped = true;
  notifications.wakeUpAll();
}

}  // namespace Pelu
