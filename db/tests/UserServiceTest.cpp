#include "db/SelectException.h"
#include "db/UserLockGuard.h"
#include "db/UserService.h"
#include "db/sqlitepp/SqliteException.h"
#include "db/tests/DbTestSupport.h"
#include "service/Logging.h"

#include <Poco/AutoPtr.h>
#include <boost/filesystem.hpp>
#include <Poco/Channel.h>
#include <Poco/Message.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace Pelu::Service;
using Pelu::DB::Users;
using Pelu::DB::UsersListPtr;
using mivo::test::query;
using mivo::test::queryValue;

namespace {

std::vector<int> idsOf(const UsersListPtr& list) {
  std::vector<int> ids;
  for (const Users& users : *list) ids.push_back(users.id);
  return ids;
}

class UserServiceTest : public mivo::test::HomeTest {
 protected:
  UserServiceTest() { service.setRetryRule(std::chrono::milliseconds(1), 3); }

  std::string usersFile() const { return dataPath("users/users"); }
  std::string calendarFile(int usersId) const { return dataPath("users/" + std::to_string(usersId) + "/calendar"); }

  // The users file as the web front end would have made it.
  void addUsersRows(const std::string& values) {
    service.getAllUsers();  // creates the file and table
    query(usersFile(),
          "INSERT INTO users (id, status, trigger, dn_user_id, register_datetime, update_datetime, version_no) "
          "VALUES " + values);
  }

  UserService service;
};

TEST_F(UserServiceTest, FirstOperationCreatesTheUsersTable) {
  EXPECT_TRUE(service.getAllUsers()->empty());
  EXPECT_EQ("users", queryValue(usersFile(), "SELECT name FROM sqlite_master WHERE type='table'"));
}

TEST_F(UserServiceTest, ListsSelectByStatusAndRequestsOldestFirst) {
  addUsersRows(
      "(1, -1, 10, 101, '2013-01-01 00:00:00', '2013-12-04 08:00:00', 1),"
      "(2, 0, 0, 102, '2013-01-01 00:00:00', '2013-12-04 08:00:00', 1),"
      "(3, 20, 10, 103, '2013-01-02 03:04:05', '2013-12-04 10:00:00', 4),"
      "(4, 20, 10, 104, '2013-01-01 00:00:00', '2013-12-04 09:00:00', 1),"
      "(5, 21, 10, 105, '2013-01-01 00:00:00', '2013-12-04 07:00:00', 1),"
      "(6, 20, 0, 106, '2013-01-01 00:00:00', '2013-12-04 07:00:00', 1),"
      "(7, 19, 10, 107, '2013-01-01 00:00:00', '2013-12-04 07:00:00', 1)");

  EXPECT_EQ((std::vector<int>{2, 3, 4, 5, 6, 7}), idsOf(service.getAllUsers()));
  EXPECT_EQ((std::vector<int>{3, 4, 5, 6}), idsOf(service.getActiveUsers()));
  UsersListPtr requested = service.getRequestedUsers();
  ASSERT_EQ((std::vector<int>{4, 3}), idsOf(requested));

  const Users& third = requested->at(1);
  EXPECT_EQ(20, third.status);
  EXPECT_EQ(10, third.trigger);
  EXPECT_EQ(103, third.dn_user_id);
  EXPECT_EQ("2013-01-02 03:04:05", third.register_datetime);
  EXPECT_EQ("2013-12-04 10:00:00", third.update_datetime);
  EXPECT_EQ(4, third.version_no);
}

TEST_F(UserServiceTest, SavingAReadUserWritesOnlyStatusTriggerAndUpdateTime) {
  addUsersRows("(4, 20, 10, 104, '2013-01-01 00:00:00', '2013-12-04 09:00:00', 3)");
  Users users = service.getRequestedUsers()->at(0);
  users.trigger = 0;
  users.status = 21;
  users.dn_user_id = 999;
  users.register_datetime = "changed";
  users.version_no = 9;
  service.saveUsers(users);

  EXPECT_EQ((mivo::test::Rows{{"4", "21", "0", "104", "2013-01-01 00:00:00", "3"}}),
            query(usersFile(), "SELECT id, status, trigger, dn_user_id, register_datetime, version_no FROM users"));
  // Stamped with the local time of the write.
  EXPECT_EQ("1", queryValue(usersFile(),
                            "SELECT abs(strftime('%s', datetime('now','localtime')) - strftime('%s', update_datetime)) "
                            "<= 5 FROM users"));
  EXPECT_TRUE(service.getRequestedUsers()->empty());
}

TEST_F(UserServiceTest, SavingANewUserInsertsWithTheTableDefaults) {
  Users users;
  users.status = 20;
  users.trigger = 10;  // not written by an insert
  users.dn_user_id = 77;
  service.saveUsers(users);
  service.saveUsers(users);

  EXPECT_EQ(0, users.id);
  EXPECT_EQ((mivo::test::Rows{{"1", "20", "0", "77", "1", "1"}, {"2", "20", "0", "77", "1", "1"}}),
            query(usersFile(),
                  "SELECT id, status, trigger, dn_user_id, version_no, "
                  "register_datetime = update_datetime AND register_datetime GLOB "
                  "'[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]' FROM users"));
}

// A users file made by another program is used as it is; a table too short
// for the record fails at the first row, naming the first missing read.
TEST_F(UserServiceTest, UsersTableOfOtherShapes) {
  struct Case {
    int line;
    std::string createSql;
    std::string error;  // empty: the list is read
  } cases[] = {
      {__LINE__,
       "CREATE TABLE users (id INTEGER PRIMARY KEY, status INTEGER, trigger INTEGER, dn_user_id INTEGER, "
       "register_datetime TEXT, update_datetime TEXT, version_no INTEGER, extra TEXT)",
       ""},
      {__LINE__,
       "CREATE TABLE users (id INTEGER PRIMARY KEY, status INTEGER, trigger INTEGER, dn_user_id INTEGER, "
       "register_datetime TEXT, update_datetime TEXT)",
       "getInt"},
      {__LINE__,
       "CREATE TABLE users (id INTEGER PRIMARY KEY, status INTEGER, trigger INTEGER, dn_user_id INTEGER, "
       "register_datetime TEXT)",
       "getString"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    mivo::test::TempDir otherHome{"mivo-db"};
    ServiceManager::instance().homeDirectory = otherHome.path();
    const std::string file = otherHome / "mivo/data/users/users";
    mivo::test::writeFile(file, "");
    query(file, c.createSql + "; INSERT INTO users (id, status) VALUES (8, 20)");
    UserService fresh;
    try {
      UsersListPtr all = fresh.getAllUsers();
      EXPECT_EQ("", c.error);
      EXPECT_EQ(std::vector<int>{8}, idsOf(all));
    } catch (const sqlitepp::QueryException& e) {
      EXPECT_EQ(c.error, e.what());
      EXPECT_EQ(25, e.code);
    }
    EXPECT_EQ(c.createSql, queryValue(file, "SELECT sql FROM sqlite_master WHERE name='users'"));
  }
  ServiceManager::instance().homeDirectory = home.path();
}

TEST_F(UserServiceTest, FailedSaveIsRolledBackAndTheNextOneWorks) {
  addUsersRows("(4, 20, 10, 104, '2013-01-01 00:00:00', '2013-12-04 09:00:00', 1)");
  query(usersFile(), "CREATE TRIGGER refuse BEFORE UPDATE ON users BEGIN SELECT RAISE(ABORT, 'refused'); END");
  Users users = service.getRequestedUsers()->at(0);
  users.trigger = 0;
  try {
    service.saveUsers(users);
    FAIL() << "no exception";
  } catch (const sqlitepp::QueryException& e) {
    EXPECT_EQ(std::string("SqliteStatement::checkResult() : refused"), e.what());
  }
  // Another program can write at once: no transaction kept the file locked.
  query(usersFile(), "DROP TRIGGER refuse");
  service.saveUsers(users);
  EXPECT_EQ("0", queryValue(usersFile(), "SELECT trigger FROM users"));
}

TEST_F(UserServiceTest, CalendarOfAUserWithoutFileIsEmptyAndTheFileIsCreated) {
  std::shared_ptr<Pelu::DB::Calendar> calendar = service.getCalendar(7);
  ASSERT_NE(nullptr, calendar);
  EXPECT_EQ(0, calendar->id);
  EXPECT_EQ("", calendar->data);
  EXPECT_EQ("0", queryValue(calendarFile(7), "SELECT count(*) FROM calendar"));
}

TEST_F(UserServiceTest, CalendarRowIsReadForItsOwnerOnly) {
  service.getCalendar(3);
  query(calendarFile(3),
        "INSERT INTO calendar VALUES (5, 1, 3, NULL, NULL, '2013-12-01 00:00:00', NULL, 2);"
        "INSERT INTO calendar VALUES (6, 1, 4, 'BEGIN:VCALENDAR', '', '', '', 1)");
  std::shared_ptr<Pelu::DB::Calendar> calendar = service.getCalendar(3);
  EXPECT_EQ(5, calendar->id);
  EXPECT_EQ(1, calendar->status);
  EXPECT_EQ(3, calendar->users_id);
  EXPECT_EQ("", calendar->data);
  EXPECT_EQ("", calendar->cache);
  EXPECT_EQ("2013-12-01 00:00:00", calendar->register_datetime);
  EXPECT_EQ("", calendar->update_datetime);
  EXPECT_EQ(2, calendar->version_no);

  // A file holding only another user's row.
  service.getCalendar(9);
  query(calendarFile(9), "INSERT INTO calendar (id, users_id, data) VALUES (1, 8, 'x')");
  EXPECT_EQ(0, service.getCalendar(9)->id);
}

TEST_F(UserServiceTest, CalendarReadRefusesBadIdsAndDuplicateRows) {
  service.getCalendar(3);
  query(calendarFile(3),
        "INSERT INTO calendar (users_id, data) VALUES (3, 'a');"
        "INSERT INTO calendar (users_id, data) VALUES (3, 'b')");
  struct Case {
    int usersId;
    const char* message;
  } cases[] = {
      {3, "2つ以上のデータを取得しました"},
      {0, "引数が不正です。"},
      {-1, "引数が不正です。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.usersId);
    try {
      service.getCalendar(c.usersId);
      ADD_FAILURE() << "no exception";
    } catch (const Pelu::DB::SelectException& e) {
      EXPECT_STREQ(c.message, e.what());
    }
  }
  EXPECT_FALSE(mivo::test::exists(dataPath("users/0"))) << "a refused id leaves no folder";
}

TEST_F(UserServiceTest, CalendarConnectionFollowsTheUser) {
  for (int id : {3, 5}) {
    service.getCalendar(id);
    query(calendarFile(id), "INSERT INTO calendar (users_id, data) VALUES (" + std::to_string(id) + ", 'of " +
                                std::to_string(id) + "')");
  }
  EXPECT_EQ("of 3", service.getCalendar(3)->data);
  // The second read of user 3 reuses the open connection: it still reads the
  // file it opened, even though that file is no longer at its path.
  std::rename(calendarFile(3).c_str(), (calendarFile(3) + ".moved").c_str());
  EXPECT_EQ("of 3", service.getCalendar(3)->data);
  EXPECT_EQ("of 5", service.getCalendar(5)->data);
  // Back to user 3: opened again, which finds (and creates) a new file.
  EXPECT_EQ(0, service.getCalendar(3)->id);
  EXPECT_TRUE(mivo::test::exists(calendarFile(3)));
}

// The lock folders are shared with the other programs of the installation:
// "A" marks a lock of kind 10, "B" one of kind 20.
TEST_F(UserServiceTest, LockKindsAndUnlockResults) {
  enum Op { LOCK, UNLOCK, IS_LOCKED };
  struct Step {
    int line;
    Op op;
    int kind;
    int expected;         // bool results as 0/1
    const char* folder;   // afterwards: the markers in the lock folder, "-" without folder
  } steps[] = {
      {__LINE__, LOCK, 20, 1, "B"},
      {__LINE__, IS_LOCKED, 20, 1, "B"},
      {__LINE__, IS_LOCKED, 10, 0, "B"},
      {__LINE__, IS_LOCKED, 0, 1, "B"},
      {__LINE__, LOCK, 10, 0, "B"},
      {__LINE__, LOCK, 20, 0, "B"},
      {__LINE__, UNLOCK, 10, UNLOCK_OTHER_KIND, "B"},
      {__LINE__, UNLOCK, 0, UNLOCK_REMOVED, "-"},
      {__LINE__, IS_LOCKED, 0, 0, "-"},
      {__LINE__, UNLOCK, 0, UNLOCK_NOT_LOCKED, "-"},
      {__LINE__, UNLOCK, 20, UNLOCK_NOT_LOCKED, "-"},
      {__LINE__, LOCK, 10, 1, "A"},
      {__LINE__, IS_LOCKED, 10, 1, "A"},
      {__LINE__, IS_LOCKED, 20, 0, "A"},
      {__LINE__, UNLOCK, 20, UNLOCK_OTHER_KIND, "A"},
      {__LINE__, UNLOCK, 10, UNLOCK_REMOVED, "-"},
      // Any other kind locks with the bare folder, and unlocks any lock.
      {__LINE__, LOCK, 0, 1, ""},
      {__LINE__, IS_LOCKED, 0, 1, ""},
      {__LINE__, IS_LOCKED, 10, 0, ""},
      {__LINE__, UNLOCK, 10, UNLOCK_OTHER_KIND, ""},
      {__LINE__, LOCK, 20, 0, ""},
      {__LINE__, UNLOCK, 30, UNLOCK_REMOVED, "-"},
  };
  const std::string lockDir = dataPath("users/12.lock");
  for (const Step& s : steps) {
    SCOPED_TRACE(s.line);
    switch (s.op) {
      case LOCK: EXPECT_EQ(s.expected != 0, service.lockUser(12, s.kind)); break;
      case UNLOCK: EXPECT_EQ(s.expected, service.unlockUser(12, s.kind)); break;
      case IS_LOCKED: EXPECT_EQ(s.expected != 0, service.isUserLocked(12, s.kind)); break;
    }
    std::string folder = "-";
    if (boost::filesystem::is_directory(lockDir)) {
      folder.clear();
      for (const auto& entry : boost::filesystem::directory_iterator(lockDir)) {
        folder += entry.path().filename().string();
      }
    }
    EXPECT_EQ(s.folder, folder);
  }
  EXPECT_FALSE(service.isUserLocked(13, 0)) << "another user is not affected";
}

TEST_F(UserServiceTest, OnlyOneOfManyRacingLockersGetsTheLock) {
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    std::atomic<int> winners{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 6; ++i) {
      threads.emplace_back([&, i] {
        if (service.lockUser(12, i % 2 == 0 ? LOCK_KIND_SYNC_JOB : LOCK_KIND_OTHER_PROGRAM)) ++winners;
      });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(1, winners.load());
    EXPECT_EQ(UNLOCK_REMOVED, service.unlockUser(12, LOCK_KIND_ANY));
  }
}

TEST_F(UserServiceTest, SomethingElseAtTheLockPathIsNotALock) {
  mivo::test::writeFile(dataPath("users/12.lock"), "");
  EXPECT_FALSE(service.lockUser(12, LOCK_KIND_SYNC_JOB));
  EXPECT_FALSE(service.isUserLocked(12, LOCK_KIND_ANY));
  EXPECT_EQ(UNLOCK_NOT_LOCKED, service.unlockUser(12, LOCK_KIND_ANY));
}

// Collects what the application logger logs while it lives.
class LogCapture {
 public:
  LogCapture() : logger(Pelu::appLogger()), previous(logger.getChannel(), true) {
    logger.setChannel(channel);
  }
  ~LogCapture() { logger.setChannel(previous); }
  const std::vector<Poco::Message>& messages() const { return channel->messages; }

 private:
  class Channel : public Poco::Channel {
   public:
    void log(const Poco::Message& message) override { messages.push_back(message); }
    std::vector<Poco::Message> messages;
  };
  Poco::Logger& logger;
  Poco::AutoPtr<Poco::Channel> previous;
  Poco::AutoPtr<Channel> channel{new Channel};
};

// Makes a folder's entries impossible to remove for as long as it lives:
// read-only for an ordinary user, the immutable flag for root, who ignores
// permissions.
class Unremovable {
 public:
  explicit Unremovable(const std::string& folder) : folder(folder) {
    if (geteuid() != 0) {
      works = ::chmod(folder.c_str(), 0555) == 0;
      return;
    }
    works = setImmutable(true);
  }
  ~Unremovable() {
    if (geteuid() != 0) {
      ::chmod(folder.c_str(), 0755);
    } else if (works) {
      setImmutable(false);
    }
  }
  bool works = false;

 private:
  bool setImmutable(bool on) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return ok;
  }
  std::string folder;
};

TEST_F(UserServiceTest, FailedRemovalIsLoggedAndAnswered103) {
  LogCapture log;
  ASSERT_TRUE(service.lockUser(12, LOCK_KIND_SYNC_JOB));
  int result = 0;
  {
    Unremovable guard(dataPath("users/12.lock"));
    if (!guard.works) GTEST_SKIP() << "cannot make a folder unremovable here";
    result = service.unlockUser(12, LOCK_KIND_SYNC_JOB);
  }

  EXPECT_EQ(UNLOCK_FAILED, result);
  EXPECT_TRUE(service.isUserLocked(12, LOCK_KIND_SYNC_JOB));
  ASSERT_EQ(1u, log.messages().size());
  EXPECT_EQ(Poco::Message::PRIO_ERROR, log.messages()[0].getPriority());
  EXPECT_NE(std::string::npos, log.messages()[0].getText().find("12.lock")) << log.messages()[0].getText();
}

TEST_F(UserServiceTest, LockGuardReleasesOnlyAHeldLock) {
  ASSERT_TRUE(service.lockUser(12, LOCK_KIND_SYNC_JOB));
  try {
    UserLockGuard guard(service, 12, LOCK_KIND_SYNC_JOB, true);
    throw std::runtime_error("job failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(service.isUserLocked(12, LOCK_KIND_ANY)) << "released although the job threw";

  // Refused because another program holds the user: its lock must stay.
  ASSERT_TRUE(service.lockUser(12, LOCK_KIND_OTHER_PROGRAM));
  {
    UserLockGuard guard(service, 12, LOCK_KIND_SYNC_JOB, service.lockUser(12, LOCK_KIND_SYNC_JOB));
    EXPECT_FALSE(guard.isHeld());
  }
  EXPECT_TRUE(service.isUserLocked(12, LOCK_KIND_OTHER_PROGRAM));
}

}  // namespace
