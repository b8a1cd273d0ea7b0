#include "scheduler/JobQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace Pelu {
namespace {

Poco::AutoPtr<Poco::Notification> job(int id) { return new ProcessNotification(id); }

std::vector<int> drain(JobQueue& queue, size_t count) {
  std::vector<int> ids;
  for (size_t i = 0; i < count; ++i) ids.push_back(queue.waitJob()->userId);
  return ids;
}

TEST(JobQueue, DuplicatesAreDroppedUntilTheJobIsRemoved) {
  JobQueue queue;
  for (int id : {5, 7, 5, 9}) queue.addJob(job(id));
  EXPECT_EQ((std::vector<int>{5, 7, 9}), drain(queue, 3));
  EXPECT_TRUE(queue.empty());

  // Taken but not finished: still counts as in process.
  queue.addJob(job(5));
  EXPECT_TRUE(queue.empty());
  queue.removeJob(5);
  queue.addJob(job(5));
  EXPECT_FALSE(queue.empty());
  EXPECT_EQ(5, queue.waitJob()->userId);
}

TEST(JobQueue, UserZeroAndForeignNotificationsAreNeverQueued) {
  JobQueue queue;
  queue.addJob(job(0));
  queue.addJob(new Poco::Notification);
  EXPECT_TRUE(queue.empty());
  queue.removeJob(42);  // unknown id: nothing happens
  EXPECT_TRUE(queue.empty());
}

TEST(JobQueue, StopWakesWaitingWorkersAndLaterWaitsReturnAtOnce) {
  JobQueue queue;
  std::atomic<int> nulls{0};
  std::vector<std::thread> workers;
  for (int i = 0; i < 3; ++i)
    workers.emplace_back([&] {
      if (!queue.waitJob()) ++nulls;
    });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  queue.stop();
  for (auto& w : workers) w.join();
  EXPECT_EQ(3, nulls.load());

  // Jobs still waiting after the stop are never handed out.
  queue.addJob(job(3));
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(queue.waitJob());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
}

TEST(JobQueue, ConcurrentRequestsForOneUserQueueOneJob) {
  JobQueue queue;
  std::vector<std::thread> adders;
  for (int i = 0; i < 8; ++i)
    adders.emplace_back([&] {
      for (int n = 0; n < 200; ++n) queue.addJob(job(11));
    });
  for (auto& a : adders) a.join();
  EXPECT_EQ(11, queue.waitJob()->userId);
  EXPECT_TRUE(queue.empty());
}

}  // namespace
}  // namespace Pelu
