#include "db/sqlitepp/SqliteConnection.h"
#include "db/sqlitepp/SqliteCursor.h"
#include "db/sqlitepp/SqliteException.h"
#include "db/sqlitepp/SqliteStatement.h"
#include "db/tests/DbTestSupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <memory>
#include <string>

using sqlitepp::ConnectionException;
using sqlitepp::QueryException;
using sqlitepp::SqliteConnection;
using sqlitepp::SqliteCursor;
using sqlitepp::SqliteException;
using sqlitepp::SqliteStatement;

namespace {

class SqliteTest : public ::testing::Test {
 protected:
  SqliteTest() {
    connection.open(dir / "t.db");
    connection.executeStatement("CREATE TABLE t (id INTEGER PRIMARY KEY, n INTEGER, s TEXT)");
  }

  mivo::test::TempDir dir{"mivo-sqlite"};
  SqliteConnection connection;
};

TEST_F(SqliteTest, BoundValuesReadBackAndNullsReadAsZeroAndEmpty) {
  {
    std::unique_ptr<SqliteStatement> insert = connection.createStatement("INSERT INTO t (id, n, s) VALUES (?, ?, ?)");
    insert->bindInt(1, 1);
    insert->bindInt(2, -7);
    const char withNul[] = "日本語 text\0hidden";
    insert->bindText(3, std::string(withNul, sizeof withNul - 1));
    insert->execute();
  }
  {
    std::unique_ptr<SqliteStatement> insert = connection.createStatement("INSERT INTO t (id, n, s) VALUES (?, ?, ?)");
    insert->bindInt(1, 2);
    insert->bindNull(2);
    insert->bindNull(3);
    insert->execute();
  }

  std::unique_ptr<SqliteStatement> select = connection.createStatement("SELECT n, s, id FROM t ORDER BY id");
  std::unique_ptr<SqliteCursor> cursor = select->createCursor();
  EXPECT_EQ(3, cursor->getColumnCount());
  EXPECT_EQ(0, cursor->getRowCount());
  EXPECT_FALSE(cursor->isEof());

  ASSERT_TRUE(cursor->next());
  EXPECT_EQ(-7, cursor->getInt(0));
  // Bound up to the first NUL, as the other programs' C strings would be.
  EXPECT_EQ("日本語 text", cursor->getString(1));
  ASSERT_TRUE(cursor->next());
  EXPECT_EQ(0, cursor->getInt(0));
  EXPECT_EQ("", cursor->getString(1));
  EXPECT_EQ(2, cursor->getInt(2));
  EXPECT_FALSE(cursor->next());
  EXPECT_TRUE(cursor->isEof());
  EXPECT_EQ(2, cursor->getRowCount());
  EXPECT_EQ("NULL", mivo::test::queryValue(dir / "t.db", "SELECT quote(s) FROM t WHERE id=2"));
}

TEST_F(SqliteTest, ColumnIndexOutsideTheRowIsRangeError) {
  std::unique_ptr<SqliteStatement> select = connection.createStatement("SELECT 1, 'a', NULL");
  std::unique_ptr<SqliteCursor> cursor = select->createCursor();
  ASSERT_TRUE(cursor->next());
  struct Case {
    const char* name;
    std::function<void()> read;
    const char* message;
  } cases[] = {
      {"getInt(3)", [&] { cursor->getInt(3); }, "getInt"},
      {"getInt(-1)", [&] { cursor->getInt(-1); }, "getInt"},
      {"getString(-1)", [&] { cursor->getString(-1); }, "getString"},
      {"getString(3)", [&] { cursor->getString(3); }, "getString"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      c.read();
      ADD_FAILURE() << "no exception";
    } catch (const QueryException& e) {
      EXPECT_STREQ(c.message, e.what());
      EXPECT_EQ(SQLITE_RANGE, e.code);
    }
  }
  EXPECT_EQ(0, cursor->getInt(2));
  EXPECT_EQ("", cursor->getString(2));
}

TEST_F(SqliteTest, ErrorsCarryTheOperationAndSqliteText) {
  connection.executeStatement("INSERT INTO t (id) VALUES (1)");
  struct Case {
    const char* name;
    std::function<void()> run;
    std::string message;
    int code;
  } cases[] = {
      {"prepare", [&] { connection.createStatement("SELECT * FROM missing"); },
       "SqliteConnection::createStatement() : no such table: missing", SQLITE_ERROR},
      {"execute", [&] { connection.executeStatement("INSERT INTO missing VALUES (1)"); },
       "SqliteConnection::executeStatement() : no such table: missing", SQLITE_ERROR},
      {"step",
       [&] {
         auto statement = connection.createStatement("INSERT INTO t (id) VALUES (1)");
         statement->execute();
       },
       "SqliteStatement::checkResult() : UNIQUE constraint failed: t.id", SQLITE_CONSTRAINT},
      {"bind",
       [&] {
         auto statement = connection.createStatement("SELECT ?");
         statement->bindInt(2, 1);
       },
       "SqliteStatement::checkResult() : column index out of range", SQLITE_RANGE},
      {"cursor step",
       [&] {
         auto statement = connection.createStatement("SELECT abs(-9223372036854775807 - 1)");
         auto cursor = statement->createCursor();
         cursor->next();
       },
       "SqliteCursor::checkResult() : integer overflow", SQLITE_ERROR},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      c.run();
      ADD_FAILURE() << "no exception";
    } catch (const QueryException& e) {
      EXPECT_EQ(c.message, e.what());
      EXPECT_EQ(c.code, e.code);
    }
  }
}

TEST_F(SqliteTest, ExecuteRunsEveryStatementPrepareOnlyTheFirst) {
  connection.executeStatement("INSERT INTO t (id) VALUES (1); INSERT INTO t (id) VALUES (2)");
  std::unique_ptr<SqliteStatement> statement =
      connection.createStatement("INSERT INTO t (id) VALUES (3); INSERT INTO t (id) VALUES (4)");
  statement->execute();
  EXPECT_EQ("1,2,3", mivo::test::queryValue(dir / "t.db", "SELECT group_concat(id) FROM t"));
}

TEST(SqliteConnection, FailedOpenLeavesConnectionClosed) {
  mivo::test::TempDir dir{"mivo-sqlite"};
  SqliteConnection connection;
  try {
    connection.open(dir / "missing-folder/t.db");
    FAIL() << "no exception";
  } catch (const ConnectionException& e) {
    EXPECT_EQ(std::string("SqliteConnection::open() : unable to open database file"), e.what());
  }
  EXPECT_FALSE(connection.isOpen());
  EXPECT_EQ(nullptr, connection.handle());
}

TEST(FormatSql, FollowsSqlitePrintfRules) {
  struct Case {
    int line;
    std::string text;
    std::string expected;
  } cases[] = {
      {__LINE__, sqlitepp::formatSql("ATTACH '%q' AS %q_%d", "/home/o'neil/log/201311/system", "as", 1),
       "ATTACH '/home/o''neil/log/201311/system' AS as_1"},
      {__LINE__, sqlitepp::formatSql("ATTACH '%q' AS %q_%d", "''", "as", 12), "ATTACH '''''' AS as_12"},
      {__LINE__, sqlitepp::formatSql("%Q and %Q", "it's", nullptr), "'it''s' and NULL"},
      {__LINE__, sqlitepp::formatSql("plain"), "plain"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(c.expected, c.text);
  }
}

}  // namespace
