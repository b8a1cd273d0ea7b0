#include "service/Paths.h"

#include "db/ServiceManager.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <atomic>
#include <thread>
#include <vector>

namespace fs = boost::filesystem;
using mivo::test::TempDir;

namespace Pelu {
namespace {

class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override { setHome(tmp / "home"); }
  void TearDown() override { Service::ServiceManager::instance().homeDirectory.clear(); }
  void setHome(const std::string& h) {
    home = h;
    Service::ServiceManager::instance().homeDirectory = h;
  }
  TempDir tmp;
  std::string home;
};

TEST_F(PathsTest, EveryIdResolvesBelowTheHome) {
  fs::create_directories(home);
  struct Row {
    int id;
    const char* key;
    const char* name;
    const char* expected;  // relative to the home
  } rows[] = {
      {HOME_DIR, nullptr, nullptr, ""},
      {PRODUCT_DIR, nullptr, nullptr, "/mivo"},
      {BIN_DIR, nullptr, nullptr, "/mivo/bin"},
      {DATA_DIR, nullptr, nullptr, "/mivo/data"},
      {SYSTEM_DIR, nullptr, nullptr, "/mivo/data/system"},
      {USERS_DIR, nullptr, nullptr, "/mivo/data/users"},
      {USER_DIR, "12", nullptr, "/mivo/data/users/12"},
      {BACKUP_DIR, nullptr, nullptr, "/mivo/data/backup"},
      {BACKUP_DAY_DIR, "20131204", nullptr, "/mivo/data/backup/20131204"},
      {LOG_DIR, nullptr, nullptr, "/mivo/data/log"},
      {LOG_MONTH_DIR, "201312", nullptr, "/mivo/data/log/201312"},
      {PAGE_DIR, nullptr, nullptr, "/mivo/page"},
      {SYSTEM_DB, nullptr, nullptr, "/mivo/data/system/system"},
      {USERS_DB, nullptr, nullptr, "/mivo/data/users/users"},
      {USER_DB, "12", nullptr, "/mivo/data/users/12/user"},
      {AUTH_DB, "12", nullptr, "/mivo/data/users/12/auth"},
      {VEVIZA_USER_DB, "12", nullptr, "/mivo/data/users/12/veviza_user"},
      {CALENDAR_DB, "12", nullptr, "/mivo/data/users/12/calendar"},
      {CALENDAR_LINK_DB, "12", nullptr, "/mivo/data/users/12/calendar_link"},
      {SESSION_DB, nullptr, nullptr, "/mivo/data/users/session"},
      {BACKUP_FILE, "20131204", "12.ics", "/mivo/data/backup/20131204/12.ics"},
      {LOG_SYSTEM_DB, "201312", nullptr, "/mivo/data/log/201312/system"},
      {LOG_USER_DB, "201312", "12", "/mivo/data/log/201312/12"},
      {PROPERTY_FILE, nullptr, nullptr, "/mivo/bin/mivo.property"},
      {USER_LOCK_DIR, "12", nullptr, "/mivo/data/users/12.lock"},
      {DN_COMMAND, nullptr, nullptr, "/mivo/bin/mivo_dn.exe"},
      {CD_COMMAND, nullptr, nullptr, "/mivo/bin/mivo_cd.exe"},
      {VERSION_FILE, nullptr, nullptr, "/data/version"},
      {USER_SETTINGS_DB, "12", nullptr, "/mivo/data/users/12/user_settings"},
      {999, nullptr, nullptr, "/mivo"},  // unlisted ids give the product folder
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "id " << row.id);
    std::string got = row.name ? resolvePath(row.id, row.key, row.name)
                      : row.key ? resolvePath(row.id, row.key)
                                : resolvePath(row.id);
    EXPECT_EQ(home + row.expected, got);
    // Folders exist afterwards; files are never created.
    EXPECT_EQ(row.id > 1000 || row.id == 999, fs::exists(got));
  }
  // The lock folder is a folder id that resolution never creates.
  EXPECT_FALSE(fs::exists(home + "/mivo/data/users/12.lock"));
}

TEST_F(PathsTest, FileIdCreatesItsParentChainButNotTheFile) {
  fs::create_directories(home);
  std::string users = resolvePath(USERS_DB);
  EXPECT_TRUE(fs::is_directory(home + "/mivo/data/users"));
  EXPECT_FALSE(fs::exists(users));
  EXPECT_FALSE(fs::exists(home + "/mivo/bin"));  // only the chain of the id
}

TEST_F(PathsTest, HomeIsCreatedOnlyThroughHomeAndVersionIds) {
  EXPECT_THROW(resolvePath(BIN_DIR), fs::filesystem_error);
  EXPECT_FALSE(fs::exists(home));
  resolvePath(HOME_DIR);
  EXPECT_TRUE(fs::is_directory(home));

  fs::remove_all(home);
  EXPECT_EQ(home + "/data/version", resolvePath(VERSION_FILE));
  EXPECT_TRUE(fs::is_directory(home));
  EXPECT_FALSE(fs::exists(home + "/data"));
}

TEST_F(PathsTest, DeletedFolderIsCreatedAgainByAnyIdBelowIt) {
  fs::create_directories(home);
  resolvePath(BACKUP_FILE, "20131204", "12.ics");
  fs::remove_all(home + "/mivo/data");
  resolvePath(BACKUP_FILE, "20131204", "12.ics");
  EXPECT_TRUE(fs::is_directory(home + "/mivo/data/backup/20131204"));
}

TEST_F(PathsTest, FileInTheWayIsAnError) {
  mivo::test::writeFile(home + "/mivo/data", "not a folder");
  EXPECT_THROW(resolvePath(USERS_DB), fs::filesystem_error);
}

TEST_F(PathsTest, ConcurrentCreationOfTheSameFolderSucceedsEverywhere) {
  fs::create_directories(home);
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&] {
      try {
        resolvePath(LOG_SYSTEM_DB, "201312");
      } catch (...) {
        ++failures;
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(0, failures.load());
  EXPECT_TRUE(fs::is_directory(home + "/mivo/data/log/201312"));
}

TEST(JoinPath, RootHomeAndSeparators) {
  EXPECT_EQ("/mivo", joinPath("/", "mivo"));
  EXPECT_EQ("/a/mivo", joinPath("/a", "mivo"));
  EXPECT_EQ("/a/mivo", joinPath("/a/", "mivo"));
  EXPECT_EQ("/a", joinPath("/a", ""));
}

}  // namespace
}  // namespace Pelu
