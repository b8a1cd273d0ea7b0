// Benchmarks of the sync scheduler (not tests). Each figure is the median
// of several runs, next to a baseline measured in the same run.
//
//   scheduler_bench jobs     [RUNS]   per-job overhead of the worker pool
//   scheduler_bench check    [RUNS]   one request check on 100,000 users
//   scheduler_bench latency  MIVO_SRV request latency with 10,000 users
//   scheduler_bench memory   MIVO_SRV resident memory after 100 and 1,000 jobs
//
// Everything runs in a temporary home below $TMPDIR (default /tmp).

#include "db/LogCodes.h"
#include "db/ServiceManager.h"
#include "scheduler/JobQueue.h"
#include "scheduler/MainTask.h"
#include "scheduler/ProcessWorker.h"
#include "service/Paths.h"
#include "tests/support/ServiceHome.h"

#include <Poco/AutoPtr.h>
#include <Poco/Logger.h>
#include <Poco/Message.h>
#include <Poco/Process.h>
#include <Poco/ThreadPool.h>
#include <Poco/Util/TimerTaskAdapter.h>

#include <sqlite3.h>

#include <boost/filesystem.hpp>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = boost::filesystem;
using Clock = std::chrono::steady_clock;
using namespace Pelu;

namespace {

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double timed(const std::function<void()>& body) {
  auto start = Clock::now();
  body();
  return seconds(Clock::now() - start);
}

// Stand-in commands that exit at once: a copy of the system's `true`.
void installInstantCommands(const std::string& bin) {
  fs::create_directories(bin);
  for (const char* name : {"mivo_cd.exe", "mivo_dn.exe"})
    fs::copy_file("/bin/true", bin + "/" + name, fs::copy_options::overwrite_existing);
}

void createUsers(const std::string& usersDb, int count, int status) {
  mivo::test::sqlExec(usersDb,
                      "CREATE TABLE IF NOT EXISTS users (  id INTEGER PRIMARY KEY, status INTEGER NOT NULL DEFAULT 0, "
                      "trigger INTEGER NOT NULL DEFAULT 0, dn_user_id INTEGER NOT NULL, register_datetime TEXT NOT "
                      "NULL, update_datetime TEXT NOT NULL, version_no INTEGER DEFAULT 1)");
  mivo::test::sqlExec(usersDb, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<" +
                                   std::to_string(count) +
                                   ") INSERT INTO users(id,status,trigger,dn_user_id,register_datetime,update_datetime) "
                                   "SELECT i," +
                                   std::to_string(status) +
                                   ",0,i,'2013-12-01 00:00:00','2013-12-01 00:00:00' FROM n");
}

// (a) Jobs per second through the real queue and workers, against the bare
// work of one job: four process launches and two log records.
void benchJobs(int runs) {
  mivo::test::TempDir tmp("mivo-bench-jobs");
  auto& manager = Service::ServiceManager::instance();
  manager.homeDirectory = tmp.path();
  manager.processName = "scheduler_bench";
  const std::string bin = resolvePath(BIN_DIR);
  installInstantCommands(bin);
  const int jobs = 200;

  std::vector<double> bare;
  for (int r = 0; r < runs; ++r) {
    bare.push_back(timed([&] {
      for (int id = 1; id <= jobs; ++id) {
        manager.logService.addEventLog(DB::logCode(DB::EVENT_SYNC_START), DB::EVENT_SYNC_START.message, 30, id);
        for (int step = 0; step < 4; ++step) {
          Poco::ProcessHandle h = Poco::Process::launch(bin + (step % 2 ? "/mivo_dn.exe" : "/mivo_cd.exe"),
                                                        {"--HOME", tmp.path(), "--USERS-ID", std::to_string(id)}, bin);
          h.wait();
        }
        manager.logService.addEventLog(DB::logCode(DB::EVENT_SYNC_END), DB::EVENT_SYNC_END.message, 30, id);
      }
    }));
  }
  const double barePerJob = median(bare) / jobs;
  std::printf("bare job (4 launches + 2 records, one thread): %.2f ms/job, %.0f jobs/s\n", barePerJob * 1e3,
              1 / barePerJob);

  for (int workers : {1, 3, 32}) {
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
      JobQueue queue;
      Poco::ThreadPool pool(1, 32, 60);
      std::vector<Poco::AutoPtr<ProcessWorker>> list;
      for (int n = 1; n <= workers; ++n) {
        list.emplace_back(new ProcessWorker(n, queue));
        pool.start(*list.back());
      }
      times.push_back(timed([&] {
        for (int id = 1; id <= jobs; ++id) queue.addJob(new ProcessNotification(id));
        while (!queue.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        queue.stop();
        pool.joinAll();
      }));
    }
    const double perJob = median(times) / jobs;
    std::printf("pool with %2d worker(s): %.2f ms/job, %.0f jobs/s, overhead per job vs bare (1 worker only "
                "comparable): %+.1f%%\n",
                workers, perJob * 1e3, 1 / perJob, (perJob / barePerJob - 1) * 100);
  }
}

// (c) One request check over 100,000 users, against the bare query.
void benchCheck(int runs) {
  mivo::test::TempDir tmp("mivo-bench-check");
  auto& manager = Service::ServiceManager::instance();
  manager.homeDirectory = tmp.path();
  const std::string usersDb = resolvePath(USERS_DB);
  createUsers(usersDb, 100000, 20);

  std::vector<double> bare, check;
  MainTask task;
  Poco::AutoPtr<Poco::Util::TimerTaskAdapter<MainTask>> timerTask(
      new Poco::Util::TimerTaskAdapter<MainTask>(task, &MainTask::onCheckTrigger));
  std::mt19937 random(7);
  for (int r = 0; r < runs; ++r) {
    // One pending request, as in the usual second of a busy installation.
    const int id = 1 + static_cast<int>(random() % 100000);
    mivo::test::sqlExec(usersDb, "UPDATE users SET trigger=10 WHERE id=" + std::to_string(id));
    bare.push_back(timed([&] {
      sqlite3* db = nullptr;
      sqlite3_open(usersDb.c_str(), &db);
      sqlite3_stmt* stmt = nullptr;
      sqlite3_prepare_v2(db, "SELECT * FROM users WHERE status=? AND trigger=? ORDER BY update_datetime ASC", -1,
                         &stmt, nullptr);
      sqlite3_bind_int(stmt, 1, 20);
      sqlite3_bind_int(stmt, 2, 10);
      while (sqlite3_step(stmt) == SQLITE_ROW) {
      }
      sqlite3_finalize(stmt);
      sqlite3_close(db);
    }));
    check.push_back(timed([&] { task.onCheckTrigger(*timerTask); }));
    if (!task.queue().empty()) task.queue().waitJob();
    task.queue().removeJob(id);
  }
  std::printf("request check on 100,000 users: %.2f ms (bare query with open/close: %.2f ms)\n",
              median(check) * 1e3, median(bare) * 1e3);
}

// Stand-in that appends "<id> <time in ns>" when it starts.
const char* kStampingCommand = "#!/bin/sh\necho \"$4 $(date +%s%N)\" >> \"$(dirname \"$0\")/starts.log\"\n";

long long nowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// (b) From setting trigger 10 to the start of CMD1, on the running service.
void benchLatency(const std::string& srv) {
  mivo::test::ServiceHome home(srv);
  for (const char* name : {"mivo_cd.exe", "mivo_dn.exe"}) {
    mivo::test::writeFile(home.bin() + "/" + name, kStampingCommand);
    mivo::test::makeExecutable(home.bin() + "/" + name);
  }
  fs::create_directories(home.path("mivo/data/users"));
  createUsers(home.usersDb(), 10000, 10);  // inactive until requested: the interval leaves them alone
  home.configure({{"synctask.backup.enable", "false"}}, "information");
  auto process = home.start();
  mivo::test::waitFor([&] { return fs::exists(home.bin() + "/mivo_srv.lck"); });
  std::this_thread::sleep_for(std::chrono::seconds(3));

  std::vector<double> latencies;
  std::mt19937 random(11);
  for (int n = 0; n < 50; ++n) {
    const int id = 1 + static_cast<int>(random() % 10000);
    const std::string marker = std::to_string(id) + " ";
    const auto already = mivo::test::countOccurrences(mivo::test::readFile(home.bin() + "/starts.log"), "\n" + marker);
    const long long t0 = nowNs();
    mivo::test::sqlExec(home.usersDb(), "UPDATE users SET status=20, trigger=10 WHERE id=" + std::to_string(id));
    long long started = 0;
    mivo::test::waitFor([&] {
      std::string log = "\n" + mivo::test::readFile(home.bin() + "/starts.log");
      if (mivo::test::countOccurrences(log, "\n" + marker) <= already) return false;
      auto pos = log.rfind("\n" + marker);
      started = std::stoll(log.substr(pos + 1 + marker.size()));
      return true;
    }, std::chrono::seconds(30));
    latencies.push_back((started - t0) / 1e6);
    mivo::test::sqlExec(home.usersDb(), "UPDATE users SET status=10 WHERE id=" + std::to_string(id));
    // Let the job finish before the next request.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
  }
  process->signal(SIGTERM);
  process->wait();
  std::sort(latencies.begin(), latencies.end());
  std::printf("request latency with 10,000 users (trigger set -> CMD1 started), 50 requests: median %.0f ms, "
              "worst %.0f ms (check period 1000 ms)\n",
              latencies[latencies.size() / 2], latencies.back());
}

long residentKiB(int pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

// (d) Resident memory of the running service after 100 and after 1,000 jobs.
void benchMemory(const std::string& srv) {
  mivo::test::ServiceHome home(srv);
  const char* counting = "#!/bin/sh\necho x >> \"$(dirname \"$0\")/calls.log\"\n";
  for (const char* name : {"mivo_cd.exe", "mivo_dn.exe"}) {
    mivo::test::writeFile(home.bin() + "/" + name, counting);
    mivo::test::makeExecutable(home.bin() + "/" + name);
  }
  fs::create_directories(home.path("mivo/data/users"));
  createUsers(home.usersDb(), 1000, 20);
  home.configure({{"synctask.backup.enable", "false"}}, "information");
  auto process = home.start();
  auto jobsDone = [&] {
    return mivo::test::countOccurrences(mivo::test::readFile(home.bin() + "/calls.log"), "x\n") / 4;
  };
  mivo::test::waitFor([&] { return jobsDone() >= 100; }, std::chrono::minutes(5));
  const long at100 = residentKiB(process->pid());
  mivo::test::waitFor([&] { return jobsDone() >= 1000; }, std::chrono::minutes(10));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const long at1000 = residentKiB(process->pid());
  process->signal(SIGTERM);
  process->wait();
  std::printf("resident memory: %ld KiB after 100 jobs, %ld KiB after 1,000 jobs (%+ld KiB)\n", at100, at1000,
              at1000 - at100);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  // The workers' farewells would only add console output to the timings.
  Poco::Logger::get("Application").setLevel(Poco::Message::PRIO_FATAL);
  try {
    if (what == "jobs") {
      benchJobs(argc > 2 ? std::atoi(argv[2]) : 5);
    } else if (what == "check") {
      benchCheck(argc > 2 ? std::atoi(argv[2]) : 9);
    } else if (what == "latency" && argc > 2) {
      benchLatency(argv[2]);
    } else if (what == "memory" && argc > 2) {
      benchMemory(argv[2]);
    } else {
      std::cerr << "usage: scheduler_bench jobs [RUNS] | check [RUNS] | latency MIVO_SRV | memory MIVO_SRV\n";
      return 2;
    }
  } catch (const std::exception& e) {
    std::cerr << "scheduler_bench: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
