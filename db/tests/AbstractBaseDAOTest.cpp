#include "db/AbstractBaseDAO.h"
#include "db/AuthDAO.h"
#include "db/CalendarDAO.h"
#include "db/CalendarLinkDAO.h"
#include "db/LogDAO.h"
#include "db/SessionDAO.h"
#include "db/SystemDAO.h"
#include "db/UserDAO.h"
#include "db/UserSettingsDAO.h"
#include "db/UsersDAO.h"
#include "db/VevizaUserDAO.h"
#include "db/sqlitepp/SqliteException.h"
#include "db/tests/DbTestSupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

using Pelu::DB::AbstractBaseDAO;
using sqlitepp::QueryException;
using std::chrono::milliseconds;
using std::chrono::steady_clock;

namespace {

// A data-access object that records how the base drives it.
class ProbeDAO : public AbstractBaseDAO {
 public:
  std::string getTableName() const override {
    ++tableNameCalls;
    return "probe";
  }
  std::string getCreateTableSql() const override {
    createdInTransaction = connection.inTransaction();
    return createSql;
  }

  std::string createSql = "CREATE TABLE probe (  id INTEGER PRIMARY KEY, name TEXT)";
  mutable int tableNameCalls = 0;
  mutable bool createdInTransaction = false;
};

// A SQL function "flaky()" on the object's connection that fails its first
// `failures` calls (all, when negative) and counts them.
struct Flaky {
  int failures;
  int calls = 0;

  static void call(sqlite3_context* context, int, sqlite3_value**) {
    auto* self = static_cast<Flaky*>(sqlite3_user_data(context));
    ++self->calls;
    if (self->failures < 0 || self->calls <= self->failures) {
      std::string message = "flaky call " + std::to_string(self->calls);
      sqlite3_result_error(context, message.c_str(), -1);
    } else {
      sqlite3_result_int(context, 1);
    }
  }

  void install(AbstractBaseDAO& dao) {
    ASSERT_EQ(SQLITE_OK, sqlite3_create_function(dao.getConnection().handle(), "flaky", 0, SQLITE_UTF8, this,
                                                 &Flaky::call, nullptr, nullptr));
  }
};

class AbstractBaseDAOTest : public ::testing::Test {
 protected:
  std::string file(const std::string& name) const { return dir / name; }

  mivo::test::TempDir dir{"mivo-dao"};
};

TEST_F(AbstractBaseDAOTest, NewFileGetsItsTableInsideOneTransaction) {
  ProbeDAO dao;
  dao.setDatabase(file("probe"));

  EXPECT_TRUE(mivo::test::exists(file("probe")));
  EXPECT_TRUE(dao.createdInTransaction);
  EXPECT_FALSE(dao.getConnection().inTransaction());
  EXPECT_TRUE(dao.isTableReady());
  EXPECT_EQ(dao.createSql, mivo::test::queryValue(file("probe"), "SELECT sql FROM sqlite_master WHERE name='probe'"));
}

TEST_F(AbstractBaseDAOTest, BindingTheBoundPathAgainDoesNothing) {
  ProbeDAO dao;
  dao.setDatabase(file("a"));
  sqlite3* first = dao.getConnection().handle();
  dao.setDatabase(file("a"));
  dao.setDatabase("");
  EXPECT_EQ(1, dao.tableNameCalls) << "no second table check";
  EXPECT_EQ(first, dao.getConnection().handle()) << "no reopen";
  EXPECT_EQ(file("a"), dao.getDatabasePath());

  // Another file, and back: each binding opens and checks again.
  dao.setDatabase(file("b"));
  dao.setDatabase(file("a"));
  EXPECT_EQ(3, dao.tableNameCalls);
}

TEST_F(AbstractBaseDAOTest, ExistingTableWithOtherColumnsIsLeftAlone) {
  const std::string other = "CREATE TABLE probe (x TEXT, y TEXT, z TEXT)";
  mivo::test::query(file("probe"), other + "; INSERT INTO probe VALUES ('1', '2', '3')");
  ProbeDAO dao;
  dao.setDatabase(file("probe"));
  EXPECT_EQ(other, mivo::test::queryValue(file("probe"), "SELECT sql FROM sqlite_master WHERE name='probe'"));
  EXPECT_EQ("1|2|3", mivo::test::queryValue(file("probe"), "SELECT x || '|' || y || '|' || z FROM probe"));
  EXPECT_FALSE(dao.createdInTransaction) << "create text was not even asked for";
}

// The tables are shared with the other programs of the installation, which
// create them with these very texts when they come first.
TEST_F(AbstractBaseDAOTest, EveryTableIsCreatedWithItsSharedText) {
  struct Case {
    std::function<std::unique_ptr<AbstractBaseDAO>()> make;
    std::string name;
    std::string sql;
  } cases[] = {
      {[] { return std::make_unique<Pelu::DB::UsersDAO>(); }, "users",
       "CREATE TABLE users (  id INTEGER PRIMARY KEY, status INTEGER NOT NULL DEFAULT 0, trigger INTEGER NOT NULL "
       "DEFAULT 0, dn_user_id INTEGER NOT NULL, register_datetime TEXT NOT NULL, update_datetime TEXT NOT NULL, "
       "version_no INTEGER DEFAULT 1)"},
      {[] { return std::make_unique<Pelu::DB::UserDAO>(); }, "user",
       "CREATE TABLE user(  id INTEGER PRIMARY KEY, status INTEGER NOT NULL DEFAULT 0, users_id INTEGER NOT NULL, "
       "calendar_id TEXT, calendar_password TEXT, calendar_url TEXT, calendar_auth_type INTEGER NOT NULL DEFAULT 1, "
       "version_no INTEGER)"},
      {[] { return std::make_unique<Pelu::DB::AuthDAO>(); }, "auth",
       "CREATE TABLE auth(  id INTEGER PRIMARY KEY, users_id INTEGER NOT NULL, access_token TEXT, expires_in TEXT, "
       "refresh_token TEXT, token_type TEXT)"},
      {[] { return std::make_unique<Pelu::DB::VevizaUserDAO>(); }, "veviza_user",
       "CREATE TABLE veviza_user (  id INTEGER PRIMARY KEY, users_id INTEGER NOT NULL DEFAULT 0, cb_user_id INTEGER "
       "NOT NULL DEFAULT 0, login_id TEXT, password TEXT, name TEXT, mail_address TEXT, rss_id TEXT, stoken TEXT, "
       "authority INTEGER)"},
      {[] { return std::make_unique<Pelu::DB::CalendarDAO>(); }, "calendar",
       "CREATE TABLE calendar(  id INTEGER PRIMARY KEY, status INTEGER NOT NULL DEFAULT 0, users_id INTEGER NOT NULL, "
       "data TEXT, cache TEXT, register_datetime TEXT, update_datetime TEXT, version_no INTEGER)"},
      {[] { return std::make_unique<Pelu::DB::CalendarLinkDAO>(); }, "calendar_link",
       "CREATE TABLE calendar_link(  id INTEGER PRIMARY KEY, status INTEGER NOT NULL DEFAULT 0, users_id INTEGER NOT "
       "NULL, link_id TEXT NOT NULL, link_type TEXT NOT NULL, pear_id TEXT NOT NULL, pear_type TEXT NOT NULL, "
       "update_tz TEXT, start_tz TEXT, end_tz TEXT, version_no INTEGER);"},
      {[] { return std::make_unique<Pelu::DB::UserSettingsDAO>(); }, "user_settings",
       "CREATE TABLE user_settings(  id INTEGER PRIMARY KEY, users_id INTEGER NOT NULL, setting TEXT)"},
      {[] { return std::make_unique<Pelu::DB::SessionDAO>(); }, "session",
       "CREATE TABLE session (  id INTEGER PRIMARY KEY, users_id INTEGER NOT NULL DEFAULT 0, session_id TEXT NOT "
       "NULL, contents TEXT)"},
      {[] { return std::make_unique<Pelu::DB::SystemDAO>(); }, "system",
       "CREATE TABLE system(  id INTEGER PRIMARY KEY, status INTEGER NOT NULL DEFAULT 1, code TEXT UNIQUE, value "
       "TEXT, version_no INTEGER);"},
      {[] { return std::make_unique<Pelu::DB::LogDAO>(); }, "log",
       "CREATE TABLE log (  id INTEGER PRIMARY KEY, status INTEGER NOT NULL DEFAULT 0, user_id INTEGER, type INTEGER "
       "DEFAULT 0, level INTEGER DEFAULT 0, code TEXT, message TEXT, register_datetime TEXT NOT NULL, "
       "update_datetime TEXT NOT NULL, process TEXT, line INTEGER, file TEXT, function TEXT, version_no INTEGER "
       "DEFAULT 1)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<AbstractBaseDAO> dao = c.make();
    EXPECT_EQ(c.name, dao->getTableName());
    EXPECT_EQ(c.sql, dao->getCreateTableSql());
    dao->setDatabase(file(c.name));
    // sqlite_master keeps the text without the closing ";".
    std::string stored = c.sql.back() == ';' ? c.sql.substr(0, c.sql.size() - 1) : c.sql;
    EXPECT_EQ(stored, mivo::test::queryValue(file(c.name), "SELECT sql FROM sqlite_master WHERE type='table'"));
  }
}

TEST_F(AbstractBaseDAOTest, RetryRuleDefaultsToTenMinutes) {
  ProbeDAO dao;
  EXPECT_EQ(milliseconds(1000), dao.getRetryPause());
  EXPECT_EQ(602, dao.getMaxAttempts());
}

TEST_F(AbstractBaseDAOTest, FailedStepIsRetriedUntilTheAttemptLimit) {
  struct Case {
    int line;
    int failures;  // -1: every call fails
    int maxAttempts;
    int expectedCalls;
    bool succeeds;
  } cases[] = {
      {__LINE__, 0, 3, 1, true},
      {__LINE__, 2, 3, 3, true},
      {__LINE__, 3, 3, 3, false},
      {__LINE__, -1, 4, 4, false},
      {__LINE__, -1, 1, 1, false},
  };
  const milliseconds pause(20);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    ProbeDAO dao;
    dao.setRetryPause(pause);
    dao.setMaxAttempts(c.maxAttempts);
    dao.setDatabase(file("probe"));
    Flaky flaky{c.failures};
    flaky.install(dao);

    std::unique_ptr<sqlitepp::SqliteStatement> statement = dao.prepareStatement("SELECT flaky()");
    const auto start = steady_clock::now();
    if (c.succeeds) {
      EXPECT_NO_THROW(dao.stepStatement(*statement));
    } else {
      try {
        dao.stepStatement(*statement);
        ADD_FAILURE() << "no exception";
      } catch (const QueryException& e) {
        // The last attempt's error, as it was raised.
        EXPECT_EQ("SqliteStatement::checkResult() : flaky call " + std::to_string(c.expectedCalls),
                  std::string(e.what()));
        EXPECT_EQ(SQLITE_ERROR, e.code);
      }
    }
    EXPECT_EQ(c.expectedCalls, flaky.calls);
    EXPECT_GE(steady_clock::now() - start, pause * (c.expectedCalls - 1));
  }
}

TEST_F(AbstractBaseDAOTest, PrepareWaitsForATableAnotherProgramCreates) {
  ProbeDAO dao;
  dao.setRetryPause(milliseconds(10));
  dao.setMaxAttempts(500);
  dao.setDatabase(file("probe"));
  std::thread other([&] {
    std::this_thread::sleep_for(milliseconds(100));
    mivo::test::query(file("probe"), "CREATE TABLE late (a)");
  });
  EXPECT_NO_THROW(dao.prepareStatement("SELECT a FROM late"));
  other.join();
}

TEST_F(AbstractBaseDAOTest, DatabaseLockedByAnotherConnectionIsWaitedFor) {
  ProbeDAO dao;
  dao.setRetryPause(milliseconds(10));
  dao.setMaxAttempts(500);
  dao.setDatabase(file("probe"));

  sqlitepp::SqliteConnection other;
  other.open(file("probe"));
  other.executeStatement("BEGIN EXCLUSIVE");
  std::thread release([&] {
    std::this_thread::sleep_for(milliseconds(150));
    other.executeStatement("COMMIT");
  });
  const auto start = steady_clock::now();
  {
    AbstractBaseDAO::Transaction transaction(dao);
    std::unique_ptr<sqlitepp::SqliteStatement> insert = dao.prepareStatement("INSERT INTO probe (name) VALUES ('x')");
    dao.stepStatement(*insert);
    transaction.commit();
  }
  release.join();
  EXPECT_GE(steady_clock::now() - start, milliseconds(100));
  EXPECT_EQ("1", mivo::test::queryValue(file("probe"), "SELECT count(*) FROM probe"));
}

// A statement failing between "BEGIN TRANSACTION" and "END TRANSACTION" must
// not leave the transaction open: every later "BEGIN TRANSACTION" on the
// connection would fail, and the write lock would shut out other programs.
TEST_F(AbstractBaseDAOTest, FailureInsideTransactionLeavesConnectionUsable) {
  ProbeDAO dao;
  dao.setRetryPause(milliseconds(5));
  dao.setMaxAttempts(3);
  dao.setDatabase(file("probe"));

  sqlitepp::SqliteConnection other;
  other.open(file("probe"));
  other.executeStatement("BEGIN EXCLUSIVE");
  try {
    AbstractBaseDAO::Transaction transaction(dao);
    std::unique_ptr<sqlitepp::SqliteStatement> insert = dao.prepareStatement("INSERT INTO probe (name) VALUES ('x')");
    dao.stepStatement(*insert);
    transaction.commit();
    FAIL() << "the lock held by the other connection did not stop the write";
  } catch (const QueryException& e) {
    EXPECT_EQ(SQLITE_BUSY, e.code);
  }
  EXPECT_FALSE(dao.getConnection().inTransaction());
  other.executeStatement("COMMIT");

  AbstractBaseDAO::Transaction transaction(dao);
  std::unique_ptr<sqlitepp::SqliteStatement> insert = dao.prepareStatement("INSERT INTO probe (name) VALUES ('y')");
  dao.stepStatement(*insert);
  transaction.commit();
  EXPECT_EQ("y", mivo::test::queryValue(file("probe"), "SELECT group_concat(name) FROM probe"));
}

TEST_F(AbstractBaseDAOTest, FailedTableCreationIsRolledBackAndNotRepeated) {
  ProbeDAO dao;
  dao.setRetryPause(milliseconds(1));
  dao.setMaxAttempts(2);
  dao.createSql = "CREATE TABLE probe (";
  EXPECT_THROW(dao.setDatabase(file("probe")), QueryException);
  EXPECT_FALSE(dao.isTableReady());
  ASSERT_TRUE(dao.getConnection().isOpen()) << "the connection stays open";
  EXPECT_FALSE(dao.getConnection().inTransaction());
  EXPECT_EQ(1, dao.tableNameCalls) << "getConnection does not check the table again";
  EXPECT_NO_THROW(dao.executeSql("BEGIN TRANSACTION; END TRANSACTION"));
}

TEST_F(AbstractBaseDAOTest, FailedOpenIsTriedAgainOnNextUse) {
  ProbeDAO dao;
  const std::string path = file("later/probe");
  EXPECT_THROW(dao.setDatabase(path), sqlitepp::ConnectionException);
  EXPECT_THROW(dao.getConnection(), sqlitepp::ConnectionException) << "no broken handle counted as open";

  mivo::test::writeFile(file("later/placeholder"), "");
  dao.setDatabase(path);  // the bound path: nothing to do
  EXPECT_NO_THROW(dao.prepareStatement("SELECT count(*) FROM probe"));
  EXPECT_TRUE(dao.isTableReady());
}

}  // namespace
