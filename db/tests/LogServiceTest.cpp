#include "db/LogCodes.h"
#include "db/LogDAO.h"
#include "db/LogService.h"
#include "db/sqlitepp/SqliteException.h"
#include "db/tests/DbTestSupport.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

using Pelu::Service::LogService;
using Pelu::Service::ServiceManager;
using mivo::test::localNoon;
using mivo::test::query;
using mivo::test::queryValue;

namespace {

class LogServiceTest : public mivo::test::HomeTest {
 protected:
  LogServiceTest() { service.setRetryRule(std::chrono::milliseconds(1), 3); }
  ~LogServiceTest() override { ServiceManager::instance().processName.clear(); }

  std::string logFile(const std::string& month, const std::string& owner) const {
    return dataPath("log/" + month + "/" + owner);
  }
  static std::string currentMonth() { return LogService::monthTexts(std::time(nullptr)).first; }
  static std::string rowCount(const std::string& file) { return queryValue(file, "SELECT count(*) FROM log"); }

  // A log file of another month, as an earlier run left it.
  void makeLogFile(const std::string& file) {
    mivo::test::writeFile(file, "");
    Pelu::DB::LogDAO dao;
    dao.setDatabase(file);
  }

  LogService service;
};

TEST(LogCodes, CodeIsServiceAndSubsystemPrefixAndEventNumber) {
  EXPECT_EQ("10000101", Pelu::DB::logCode("0101"));
  EXPECT_EQ("10000001", Pelu::DB::logCode(Pelu::DB::EVENT_SERVICE_START));
  EXPECT_EQ("10000205", Pelu::DB::logCode(Pelu::DB::EVENT_LOG_REMOVED));
}

TEST(LogServiceMonths, PreviousMonthCrossesTheYear) {
  struct Case {
    int line;
    int year, month, day;
    const char* current;
    const char* previous;
  } cases[] = {
      {__LINE__, 2013, 12, 4, "201312", "201311"},
      {__LINE__, 2014, 1, 15, "201401", "201312"},
      {__LINE__, 2014, 3, 31, "201403", "201402"},
      {__LINE__, 2000, 2, 29, "200002", "200001"},
      {__LINE__, 2099, 1, 1, "209901", "209812"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const auto months = LogService::monthTexts(localNoon(c.year, c.month, c.day));
    EXPECT_EQ(c.current, months.first);
    EXPECT_EQ(c.previous, months.second);
  }
}

TEST_F(LogServiceTest, RecordGoesToTheMonthFileWithThePreviousMonthAttached) {
  struct Case {
    int line;
    int usersId;
    int year, month, day;
    bool previousExists;
    std::string file;      // relative to the log folder
    std::string attached;  // relative to the log folder; empty: nothing attached
  } cases[] = {
      {__LINE__, 0, 2013, 12, 4, true, "201312/system", "201311/system"},
      {__LINE__, 0, 2013, 12, 4, false, "201312/system", ""},
      {__LINE__, 12, 2014, 1, 15, true, "201401/12", "201312/12"},
      {__LINE__, 12, 2014, 3, 31, true, "201403/12", "201402/12"},
      // Only the same owner's previous month counts.
      {__LINE__, 12, 2014, 3, 31, false, "201403/12", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    mivo::test::TempDir caseHome{"mivo-log"};
    ServiceManager::instance().homeDirectory = caseHome.path();
    const std::string logDir = caseHome / "mivo/data/log/";
    const auto months = LogService::monthTexts(localNoon(c.year, c.month, c.day));
    if (c.previousExists) makeLogFile(logDir + c.attached);
    if (!c.previousExists && c.usersId != 0) makeLogFile(logDir + months.second + "/system");

    LogService fresh;
    fresh.selectDatabase(c.usersId, localNoon(c.year, c.month, c.day));
    fresh.addEventLog("10000101", "veviza sync start.", 30, c.usersId);

    EXPECT_EQ("veviza sync start.", queryValue(logDir + c.file, "SELECT message FROM log"));
    EXPECT_TRUE(mivo::test::exists(logDir + months.second)) << "previous month folder is created";
    std::vector<std::string> expected;
    if (!c.attached.empty()) expected.push_back(logDir + c.attached);
    EXPECT_EQ(expected, fresh.getAttachedPaths());
  }
  ServiceManager::instance().homeDirectory = home.path();
}

TEST_F(LogServiceTest, BindingIsKeptWhileTheUsersIdRepeats) {
  service.selectDatabase(12, localNoon(2014, 1, 15));
  service.addEventLog("10000101", "veviza sync start.", 30, 12);
  service.addEventLog("10000102", "veviza sync end.", 30, 12);
  // Still the January 2014 file: the binding follows the users id only.
  EXPECT_EQ("2", rowCount(logFile("201401", "12")));

  service.addEventLog("10000201", "backup start.", 30, 0);
  service.addEventLog("10000203", "backup ics file created.", 30, 12);
  EXPECT_EQ("1", rowCount(logFile(currentMonth(), "system")));
  EXPECT_EQ("1", rowCount(logFile(currentMonth(), "12")));
  EXPECT_EQ("2", rowCount(logFile("201401", "12")));
}

TEST_F(LogServiceTest, ColumnsWithoutValueAreNull) {
  ServiceManager::instance().processName = "mivo_srv";
  service.addLog(30, "10000001", "service starting up.", 30, 0);
  service.addLog(7, "", "", 5, -3);
  ServiceManager::instance().processName = "";
  service.addLog(30, "10000101", "veviza sync start.", 30, 12);

  EXPECT_EQ((mivo::test::Rows{
                {"1", "10", "NULL", "30", "30", "'10000001'", "'service starting up.'", "'mivo_srv'", "NULL",
                 "NULL", "NULL", "1"},
                {"2", "10", "NULL", "5", "7", "''", "''", "'mivo_srv'", "NULL", "NULL", "NULL", "1"},
            }),
            query(logFile(currentMonth(), "system"),
                  "SELECT id, status, quote(user_id), type, level, quote(code), quote(message), quote(process), "
                  "quote(line), quote(file), quote(function), version_no FROM log"));
  EXPECT_EQ((mivo::test::Rows{{"12", "NULL", "1"}}),
            query(logFile(currentMonth(), "12"),
                  "SELECT user_id, quote(process), "
                  "register_datetime = update_datetime AND "
                  "abs(strftime('%s', datetime('now','localtime')) - strftime('%s', register_datetime)) <= 5 "
                  "FROM log"));
}

TEST_F(LogServiceTest, FailedInsertIsRolledBackAndTheNextOneWorks) {
  const std::string file = logFile(currentMonth(), "system");
  makeLogFile(file);
  query(file, "CREATE TRIGGER refuse BEFORE INSERT ON log BEGIN SELECT RAISE(ABORT, 'refused'); END");
  try {
    service.addEventLog("10000001", "service starting up.", 30, 0);
    FAIL() << "no exception";
  } catch (const sqlitepp::QueryException& e) {
    EXPECT_EQ(std::string("SqliteStatement::checkResult() : refused"), e.what());
  }
  query(file, "DROP TRIGGER refuse");
  service.addEventLog("10000001", "service starting up.", 30, 0);
  EXPECT_EQ("1", rowCount(file));
}

TEST_F(LogServiceTest, PathWithASingleQuoteIsAttached) {
  mivo::test::TempDir quoteHome{"mivo-o'neil"};
  ServiceManager::instance().homeDirectory = quoteHome.path();
  const std::string logDir = quoteHome / "mivo/data/log/";
  makeLogFile(logDir + "201312/system");
  query(logDir + "201312/system",
        "INSERT INTO log (message, register_datetime, update_datetime) VALUES ('december', '', '')");

  service.selectDatabase(0, localNoon(2014, 1, 15));
  service.addEventLog("10000001", "service starting up.", 30, 0);
  EXPECT_EQ(std::vector<std::string>{logDir + "201312/system"}, service.getAttachedPaths());
  ServiceManager::instance().homeDirectory = home.path();

  // The attached file is reachable under its schema name.
  Pelu::DB::LogDAO dao;
  dao.setDatabase(logDir + "201401/system");
  dao.attach(logDir + "201312/system");
  dao.attach(logDir + "201312/system");  // already attached: nothing to do
  dao.attach(logDir + "201311/system");  // nothing there
  EXPECT_EQ(std::vector<std::string>{logDir + "201312/system"}, dao.getAttachedPaths());
  std::unique_ptr<sqlitepp::SqliteStatement> statement = dao.prepareStatement("SELECT message FROM as_1.log");
  std::unique_ptr<sqlitepp::SqliteCursor> cursor = dao.openCursor(*statement);
  ASSERT_TRUE(cursor->next());
  EXPECT_EQ("december", cursor->getString(0));
}

}  // namespace
