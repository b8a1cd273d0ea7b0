// The real mivo_srv in a temporary home, with stand-in sync commands that
// record their arguments and working folder and exit with a chosen code.

#include "tests/support/ServiceHome.h"

#include <gtest/gtest.h>

#include <Poco/DateTimeFormatter.h>
#include <Poco/LocalDateTime.h>

#include <boost/filesystem.hpp>

#include <csignal>

namespace fs = boost::filesystem;
using mivo::test::inOrder;
using mivo::test::sqlExec;
using mivo::test::sqlValue;
using mivo::test::waitFor;

namespace {

// Records "<name>|<argc>|<arg1>|<arg2>|<arg3>|<arg4>|<cwd>" per call. A file
// "hold_<id>" makes the call wait until it is removed; "exit_<name>" holds
// the exit code to answer.
constexpr const char* kStandIn = R"SH(#!/bin/sh
dir=$(dirname "$0")
name=$(basename "$0")
printf '%s|%s|%s|%s|%s|%s|%s\n' "$name" "$#" "$1" "$2" "$3" "$4" "$(pwd)" >> "$dir/calls.log"
while [ -f "$dir/hold_$4" ]; do sleep 0.02; done
code=0
[ -f "$dir/exit_$name" ] && code=$(cat "$dir/exit_$name")
exit $code
)SH";

class SyncService : public ::testing::Test {
 protected:
  explicit SyncService(const std::string& homeName = "home") : home(MIVO_SRV_PATH, homeName) {
    for (const char* name : {"mivo_cd.exe", "mivo_dn.exe"}) {
      mivo::test::writeFile(home.bin() + "/" + name, kStandIn);
      mivo::test::makeExecutable(home.bin() + "/" + name);
    }
    home.createUsersTable();
  }

  std::string usersDb() const { return home.usersDb(); }
  std::string calls() const { return mivo::test::readFile(home.bin() + "/calls.log"); }
  int callCount(int id) const {
    return mivo::test::countOccurrences(calls(), "|--USERS-ID|" + std::to_string(id) + "|");
  }
  std::string log() const { return process ? process->err() : std::string(); }
  std::vector<std::string> codes(int id) const { return home.recordCodes(std::to_string(id)); }
  void addUser(int id, int status, int trigger, const std::string& updated = "2013-12-04 09:00:00") {
    home.addUser(id, status, trigger, updated);
  }
  void request(int id) {
    sqlExec(usersDb(), "UPDATE users SET status=20, trigger=10 WHERE id=" + std::to_string(id));
  }

  void start(const std::map<std::string, std::string>& settings = {}) {
    home.configure(settings);
    process = home.start();
    ASSERT_TRUE(waitFor([&] { return log().find("Check Trigger [") != std::string::npos; })) << log();
  }
  bool logHas(const std::string& text) const { return log().find(text) != std::string::npos; }
  bool waitLog(const std::string& text) {
    return waitFor([&] { return logHas(text); }, std::chrono::seconds(60));
  }
  int stop() {
    process->signal(SIGTERM);
    return process->wait(std::chrono::seconds(60));
  }

  mivo::test::ServiceHome home;
  std::unique_ptr<mivo::test::ChildProcess> process;
};

TEST_F(SyncService, RequestedUserRunsTheFourCommandsOnceWithFourArguments) {
  addUser(12, 20, 10);
  start();
  ASSERT_TRUE(waitLog("END PROC ID 12")) << log();
  ASSERT_EQ(0, stop());

  const std::string bin = home.bin();
  const std::string args = "|4|--HOME|" + home.home() + "|--USERS-ID|12|" + bin + "\n";
  EXPECT_EQ("mivo_cd.exe" + args + "mivo_dn.exe" + args + "mivo_cd.exe" + args + "mivo_dn.exe" + args, calls());
  EXPECT_EQ("0", sqlValue(usersDb(), "SELECT trigger FROM users WHERE id=12"));
  EXPECT_EQ("20", sqlValue(usersDb(), "SELECT status FROM users WHERE id=12"));
  EXPECT_EQ("1200", sqlValue(usersDb(), "SELECT dn_user_id FROM users WHERE id=12"));
  EXPECT_EQ((std::vector<std::string>{"10000101", "10000102"}), codes(12));
  EXPECT_FALSE(fs::exists(home.path("mivo/data/users/12.lock")));
  // The queue logs the job once it is queued, so a worker that is quick to
  // take it may log its start first: only the worker's lines have an order.
  EXPECT_NE(std::string::npos, log().find("ADD NOTIFICATION ID 12")) << log();
  EXPECT_TRUE(inOrder(log(), {"START PROC ID 12", "rootDir [" + home.home() + "]",
                              "binDir [" + bin + "]", "CMD1 [" + bin + "/mivo_cd.exe]",
                              "CMD2 [" + bin + "/mivo_dn.exe]", "CMD3 [" + bin + "/mivo_cd.exe]",
                              "CMD4 [" + bin + "/mivo_dn.exe]", "REMOVE NOTIFICATION ID 12", "END PROC ID 12"}))
      << log();
  // The worker's status file holds the local time of its last job, nothing else.
  bool stamped = false;
  for (int n = 1; n <= 3; ++n) {
    std::string path = bin + "/worker_" + std::to_string(n);
    if (!fs::exists(path)) continue;
    stamped = true;
    std::string text = mivo::test::readFile(path);
    EXPECT_EQ(19u, text.size()) << text;
    EXPECT_EQ(text.substr(0, 4), Poco::DateTimeFormatter::format(Poco::LocalDateTime(), "%Y"));
  }
  EXPECT_TRUE(stamped);
}

class SyncServiceSpacedHome : public SyncService {
 protected:
  SyncServiceSpacedHome() : SyncService("Program Files app") {}
};

TEST_F(SyncServiceSpacedHome, HomeWithSpacesArrivesAsOneArgument) {
  addUser(3, 20, 10);
  start();
  ASSERT_TRUE(waitLog("END PROC ID 3")) << log();
  stop();
  EXPECT_EQ(4, mivo::test::countOccurrences(calls(), "|4|--HOME|" + home.home() + "|--USERS-ID|3|"));
}

TEST_F(SyncService, FailingCommandStopsTheSequenceButTheJobEndsNormally) {
  addUser(7, 20, 10);
  mivo::test::writeFile(home.bin() + "/exit_mivo_cd.exe", "3");
  start();
  ASSERT_TRUE(waitLog("END PROC ID 7")) << log();
  stop();
  EXPECT_EQ(1, callCount(7));
  EXPECT_TRUE(inOrder(log(), {"CMD1 [" + home.bin() + "/mivo_cd.exe]",
                              "CMD1 ERROR [" + home.bin() + "/mivo_cd.exe] : 3", "END PROC ID 7"}));
  EXPECT_FALSE(logHas("CMD2 ["));
  EXPECT_EQ((std::vector<std::string>{"10000101", "10000102"}), codes(7));
}

TEST_F(SyncService, FailingSecondCommandNamesTheOtherProgram) {
  addUser(7, 20, 10);
  mivo::test::writeFile(home.bin() + "/exit_mivo_dn.exe", "1");
  start();
  ASSERT_TRUE(waitLog("END PROC ID 7")) << log();
  stop();
  EXPECT_EQ(2, callCount(7));
  EXPECT_TRUE(logHas("CMD2 ERROR [" + home.bin() + "/mivo_dn.exe] : 1")) << log();
  EXPECT_FALSE(logHas("CMD3 ["));
}

TEST_F(SyncService, CommandThatCannotStartIsAJobErrorAndTheLockIsReleased) {
  addUser(8, 20, 10);
  fs::remove(home.bin() + "/mivo_dn.exe");
  start();
  ASSERT_TRUE(waitLog("END PROC ID 8")) << log();
  stop();
  EXPECT_TRUE(logHas("Error ERROR PROC ID 8 : ")) << log();
  EXPECT_EQ((std::vector<std::string>{"10000101"}), codes(8));  // no end record
  EXPECT_FALSE(fs::exists(home.path("mivo/data/users/8.lock")));
}

TEST_F(SyncService, MaintenanceMarkerSkipsTheJobUntilItIsRemoved) {
  addUser(5, 20, 10);
  fs::create_directories(home.bin() + "/.maintenance");
  start();
  ASSERT_TRUE(waitLog("END PROC ID 5")) << log();
  EXPECT_TRUE(inOrder(log(), {"START PROC ID 5", "SKIP BECAUSE MAINTENANCE MODE", "END PROC ID 5"}));
  EXPECT_EQ(0, callCount(5));
  EXPECT_TRUE(codes(5).empty());

  fs::remove(home.bin() + "/.maintenance");
  request(5);
  ASSERT_TRUE(waitFor([&] { return callCount(5) == 4; })) << log();
  stop();
}

TEST_F(SyncService, LockHeldByAnotherProgramSkipsTheJobAndStays) {
  addUser(9, 20, 0);
  start();
  // Created after start: the start-up clean-up removes every lock folder.
  fs::create_directories(home.path("mivo/data/users/9.lock/A"));
  request(9);
  ASSERT_TRUE(waitLog("END PROC ID 9")) << log();
  stop();
  EXPECT_TRUE(inOrder(log(), {"START PROC ID 9", "LOCKED ID 9", "END PROC ID 9"}));
  EXPECT_EQ(0, callCount(9));
  EXPECT_EQ((std::vector<std::string>{"10000103"}), codes(9));
  EXPECT_TRUE(fs::exists(home.path("mivo/data/users/9.lock/A")));
}

TEST_F(SyncService, EmptyLockFolderIsRecoveredAndTheNextJobRuns) {
  addUser(9, 20, 0);
  start();
  fs::create_directories(home.path("mivo/data/users/9.lock"));
  request(9);
  ASSERT_TRUE(waitLog("user unlock : successful")) << log();
  EXPECT_FALSE(fs::exists(home.path("mivo/data/users/9.lock")));
  ASSERT_TRUE(waitLog("END PROC ID 9"));
  request(9);
  ASSERT_TRUE(waitFor([&] { return callCount(9) == 4; })) << log();
  stop();
  EXPECT_EQ((std::vector<std::string>{"10000103", "10000101", "10000102"}), codes(9));
}

TEST_F(SyncService, LocksLeftByACrashAreClearedAtStart) {
  addUser(4, 20, 0);
  addUser(6, 10, 0);
  addUser(11, -1, 0);
  fs::create_directories(home.path("mivo/data/users/4.lock/B"));
  fs::create_directories(home.path("mivo/data/users/6.lock/A"));
  fs::create_directories(home.path("mivo/data/users/11.lock/B"));  // status -1: not a user to clean
  start();
  EXPECT_TRUE(logHas("Trace user is locking B ID[4]")) << log();
  EXPECT_TRUE(logHas("Trace user is locking A ID[6]")) << log();
  EXPECT_FALSE(fs::exists(home.path("mivo/data/users/4.lock")));
  EXPECT_FALSE(fs::exists(home.path("mivo/data/users/6.lock")));
  EXPECT_TRUE(fs::exists(home.path("mivo/data/users/11.lock/B")));
  EXPECT_EQ(0, stop());
}

TEST_F(SyncService, IntervalQueuesEveryActiveUserButNeverInactiveOnes) {
  addUser(1, 20, 0);
  addUser(2, 25, 0);
  addUser(3, 10, 10);  // inactive: neither the interval nor its request runs it
  addUser(4, 0, 0);
  start();
  ASSERT_TRUE(waitFor([&] { return callCount(1) == 4 && callCount(2) == 4; })) << log();
  ASSERT_TRUE(waitLog("END PROC ID 2"));
  ASSERT_TRUE(waitLog("END PROC ID 1"));
  EXPECT_EQ(0, stop());
  EXPECT_EQ(0, callCount(3));
  EXPECT_EQ(0, callCount(4));
  EXPECT_EQ("10", sqlValue(usersDb(), "SELECT trigger FROM users WHERE id=3"));
  EXPECT_FALSE(logHas("START PROC ID 3"));
}

TEST_F(SyncService, RequestForARunningUserIsConsumedWithoutASecondRun) {
  addUser(21, 20, 10);
  mivo::test::writeFile(home.bin() + "/hold_21", "");
  start();
  ASSERT_TRUE(waitFor([&] { return callCount(21) == 1; })) << log();
  request(21);
  ASSERT_TRUE(waitFor([&] { return sqlValue(usersDb(), "SELECT trigger FROM users WHERE id=21") == "0"; }));
  fs::remove(home.bin() + "/hold_21");
  ASSERT_TRUE(waitLog("END PROC ID 21"));
  // Give a wrongly queued second job time to show itself.
  waitFor([&] { return callCount(21) > 4; }, std::chrono::seconds(3));
  EXPECT_EQ(4, callCount(21));
  EXPECT_EQ(1, mivo::test::countOccurrences(log(), "START PROC ID 21"));

  // After the job has ended, a request produces a new job.
  request(21);
  ASSERT_TRUE(waitFor([&] { return callCount(21) == 8; })) << log();
  stop();
}

TEST_F(SyncService, RequestsAreTakenOldestFirst) {
  addUser(31, 20, 10, "2013-12-04 09:00:03");
  addUser(32, 20, 10, "2013-12-04 09:00:01");
  addUser(33, 20, 10, "2013-12-04 09:00:02");
  start({{"synctask.process", "1"}});
  ASSERT_TRUE(waitLog("END PROC ID 31")) << log();
  stop();
  EXPECT_TRUE(inOrder(log(), {"ADD NOTIFICATION ID 32", "ADD NOTIFICATION ID 33", "ADD NOTIFICATION ID 31"}))
      << log();
}

TEST_F(SyncService, StopWaitsForTheRunningJobAndForJobsStillQueued) {
  addUser(41, 20, 10, "2013-12-04 09:00:01");
  addUser(42, 20, 10, "2013-12-04 09:00:02");
  mivo::test::writeFile(home.bin() + "/hold_41", "");
  start({{"synctask.process", "1"}});
  ASSERT_TRUE(waitFor([&] { return callCount(41) == 1; })) << log();
  ASSERT_TRUE(waitLog("ADD NOTIFICATION ID 42"));
  process->signal(SIGTERM);
  // Still running: the job of 41 holds its worker and 42 waits in the queue.
  EXPECT_FALSE(waitFor([&] { return !process->running(); }, std::chrono::milliseconds(500)));
  fs::remove(home.bin() + "/hold_41");
  EXPECT_EQ(0, process->wait(std::chrono::seconds(60)));
  EXPECT_EQ(4, callCount(41));
  EXPECT_EQ(4, callCount(42));
  EXPECT_TRUE(inOrder(log(), {"END PROC ID 41", "END PROC ID 42", "ERROR GETTING NOTIFICATION FROM QUEUE.",
                              "shutting down"}))
      << log();
  // The service's own records: start, then stop.
  std::string systemDb = home.monthLogDb("system");
  auto rows = mivo::test::sqlQuery(systemDb, "SELECT code, message, ifnull(user_id,'NULL'), process FROM log ORDER BY id");
  ASSERT_EQ(2u, rows.size());
  EXPECT_EQ((std::vector<std::string>{"10000001", "service starting up.", "NULL", "mivo_srv"}), rows[0]);
  EXPECT_EQ((std::vector<std::string>{"10000002", "server shutting down.", "NULL", "mivo_srv"}), rows[1]);
}

TEST_F(SyncService, SettingsAreReportedInOrderAndTheScheduleIsTraced) {
  start({{"synctask.process", "33"}, {"synctask.check.interval", "5"}, {"synctask.check.trigger", "abc"},
         {"synctask.backup.enable", "false"}});
  ASSERT_TRUE(waitLog("REMOVE PASSING FILES DISABLE!!")) << log();
  EXPECT_EQ(0, stop());
  EXPECT_TRUE(inOrder(log(), {"Information synctask.process = 3\n",
                              "Information synctask.userAccount.maxErrorCount = 10\n", "Warning ",
                              "Information synctask.check.trigger = 1\n",
                              "Information synctask.check.interval = 10\n",
                              "Information synctask.backup.enable = false\n",
                              "Information synctask.backup.interval = 24\n",
                              "Information synctask.removePassingFiles.enable = false\n",
                              "Information synctask.removePassingFiles.logSurvivalMonth = 6\n",
                              "Information synctask.removePassingFiles.backupSurvivalDay = 30\n",
                              "Trace Check Trigger [1000]\n", "Trace INTERVAL [600000]\n",
                              "Trace BACKUP DISABLE!!\n", "Trace REMOVE PASSING FILES DISABLE!!\n"}))
      << log();
  // Three workers: three farewells.
  EXPECT_EQ(3, mivo::test::countOccurrences(log(), "ERROR GETTING NOTIFICATION FROM QUEUE."));
}

TEST_F(SyncService, RemovalScheduleIsTracedWhenEnabled) {
  start({{"synctask.removePassingFiles.enable", "true"}, {"synctask.backup.interval", "12"}});
  ASSERT_TRUE(waitLog("REMOVE PASSING FILES DATE [")) << log();
  stop();
  EXPECT_TRUE(logHas("] INTERVAL [86400000]\n")) << log();
  EXPECT_TRUE(logHas("BACKUP DATE [")) << log();
  EXPECT_TRUE(logHas("] INTERVAL [43200000]\n")) << log();
}

}  // namespace
