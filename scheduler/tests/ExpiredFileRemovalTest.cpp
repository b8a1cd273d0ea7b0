#include "scheduler/ExpiredFileRemoval.h"

#include "db/ServiceManager.h"
#include "service/Logging.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <Poco/AutoPtr.h>
#include <Poco/Channel.h>
#include <Poco/DateTimeFormatter.h>
#include <Poco/LocalDateTime.h>
#include <Poco/Message.h>

#include <boost/filesystem.hpp>

#include <vector>

namespace fs = boost::filesystem;

namespace Pelu {
namespace {

class RecordingChannel : public Poco::Channel {
 public:
  void log(const Poco::Message& msg) override { lines.push_back(msg.getText()); }
  std::vector<std::string> lines;
};

// One home for the whole program: the log service keeps its month file open
// between records, so the home must not change under it.
const std::string& sharedHome() {
  static mivo::test::TempDir dir("mivo-removal");
  static const std::string home = [] {
    Service::ServiceManager::instance().homeDirectory = dir.path();
    return dir.path();
  }();
  return home;
}

class ExpiredFileRemovalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home = sharedHome();
    fs::remove_all(home + "/mivo/data/backup");
    for (auto& entry : fs::directory_iterator(logDir())) {
      if (entry.path().filename().string().rfind("20", 0) == 0 && entry.path().filename() != currentMonth())
        fs::remove_all(entry.path());
    }
    systemDb = logDir() + "/" + currentMonth() + "/system";
    Service::ServiceManager::instance().logService.addEventLog("10009999", "marker", 30, 0);
    firstNewRecord = std::stoi(mivo::test::sqlValue(systemDb, "SELECT max(id) FROM log")) + 1;
    channel = new RecordingChannel;
    appLogger().setChannel(channel);
    appLogger().setLevel(Poco::Message::PRIO_TRACE);
  }
  void TearDown() override { appLogger().setChannel(nullptr); }

  std::string logDir() const {
    fs::create_directories(home + "/mivo/data/log");
    return home + "/mivo/data/log";
  }
  std::string backupDir() const { return home + "/mivo/data/backup"; }
  static std::string currentMonth() { return Poco::DateTimeFormatter::format(Poco::LocalDateTime(), "%Y%m"); }
  void folder(const std::string& path) { fs::create_directories(path + "/inner"); }

  std::vector<std::vector<std::string>> newRecords() {
    return mivo::test::sqlQuery(systemDb, "SELECT code, message, ifnull(user_id,'NULL'), level, type FROM log WHERE id >= " +
                                              std::to_string(firstNewRecord) + " ORDER BY id");
  }

  std::string home, systemDb;
  int firstNewRecord = 0;
  Poco::AutoPtr<RecordingChannel> channel;
};

TEST_F(ExpiredFileRemovalTest, LogPassDeletesOnlyExpiredMonthFoldersWithTraceAndRecordFirst) {
  for (const char* name : {"201401", "201402", "201401.old", "2014", "2014-01", "201413", "201312"})
    folder(logDir() + "/" + name);
  mivo::test::writeFile(logDir() + "/201311", "a file, not a folder");

  // 15 July 2014, six months: cut-off 15 January 2014 00:00.
  removeExpiredFiles(6, 30, Poco::LocalDateTime(2014, 7, 15, 10, 0), Poco::DateTime(2014, 7, 15, 10, 0));

  for (const char* gone : {"201401", "201401.old", "201312"}) EXPECT_FALSE(fs::exists(logDir() + "/" + gone)) << gone;
  for (const char* kept : {"201402", "2014", "2014-01", "201413", "201311"})
    EXPECT_TRUE(fs::exists(logDir() + "/" + kept)) << kept;

  // One trace line and one record per deleted folder, in the same order.
  std::vector<std::string> traced;
  for (const auto& line : channel->lines) traced.push_back(line);
  ASSERT_EQ(3u, traced.size());
  auto records = newRecords();
  ASSERT_EQ(3u, records.size());
  for (size_t i = 0; i < 3; ++i) {
    std::string base = traced[i].substr(std::string("Removed Log Directory [").size(), 6);
    EXPECT_EQ("Removed Log Directory [" + base + "]", traced[i]);
    EXPECT_EQ((std::vector<std::string>{"10000205", "log removed.[" + base + "]", "NULL", "30", "30"}), records[i]);
  }
}

TEST_F(ExpiredFileRemovalTest, FirstDayOfMonthKeepsTheMonthAtTheLimit) {
  folder(logDir() + "/201401");
  removeExpiredFiles(6, 30, Poco::LocalDateTime(2014, 7, 1, 0, 30), Poco::DateTime(2014, 7, 1, 0, 30));
  EXPECT_TRUE(fs::exists(logDir() + "/201401"));
}

TEST_F(ExpiredFileRemovalTest, BackupPassUsesItsOwnLimitInDays) {
  for (const char* name : {"20140614", "20140616", "2014061", "20140631"}) folder(backupDir() + "/" + name);
  folder(logDir() + "/201406");
  // 15 July 2014 09:00 UTC minus 30 days: 15 June 09:00.
  removeExpiredFiles(12, 30, Poco::LocalDateTime(2014, 7, 15, 9, 0), Poco::DateTime(2014, 7, 15, 9, 0));
  EXPECT_FALSE(fs::exists(backupDir() + "/20140614"));
  for (const char* kept : {"20140616", "2014061", "20140631"}) EXPECT_TRUE(fs::exists(backupDir() + "/" + kept)) << kept;
  EXPECT_TRUE(fs::exists(logDir() + "/201406"));  // 12 months for logs
  ASSERT_EQ(1u, channel->lines.size());
  EXPECT_EQ("Removed Backup Directory [20140614]", channel->lines[0]);
  auto records = newRecords();
  ASSERT_EQ(1u, records.size());
  EXPECT_EQ("10000204", records[0][0]);
  EXPECT_EQ("backup removed.[20140614]", records[0][1]);
}

TEST_F(ExpiredFileRemovalTest, MissingDayInCutoffMonthDeletesNothingAtAll) {
  folder(logDir() + "/201301");
  folder(backupDir() + "/20130101");
  // 31 August with two months: there is no 31 June.
  removeExpiredFiles(2, 3, Poco::LocalDateTime(2014, 8, 31, 12, 0), Poco::DateTime(2014, 8, 31, 12, 0));
  EXPECT_TRUE(fs::exists(logDir() + "/201301"));
  EXPECT_TRUE(fs::exists(backupDir() + "/20130101"));
  EXPECT_TRUE(newRecords().empty());
}

TEST_F(ExpiredFileRemovalTest, MissingFoldersAreCreatedAndNothingHappens) {
  removeExpiredFiles(6, 30, Poco::LocalDateTime(2014, 7, 15, 9, 0), Poco::DateTime(2014, 7, 15, 9, 0));
  EXPECT_TRUE(fs::is_directory(backupDir()));
  EXPECT_TRUE(channel->lines.empty());
}

}  // namespace
}  // namespace Pelu
