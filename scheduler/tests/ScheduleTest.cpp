// "Now" enters every date computation as a parameter, so these cases run
// on fixed dates whatever the machine's clock says.

#include "scheduler/ExpiredFileRemoval.h"
#include "scheduler/MainTask.h"

#include <gtest/gtest.h>

#include <Poco/DateTimeFormatter.h>

#include <cstdlib>
#include <ctime>

namespace Pelu {
namespace {

std::string text(const Poco::DateTime& t) { return Poco::DateTimeFormatter::format(t, "%Y-%m-%d %H:%M:%S"); }
std::string text(const Poco::LocalDateTime& t) { return Poco::DateTimeFormatter::format(t, "%Y-%m-%d %H:%M:%S"); }

// Local-time cases pin the zone to UTC so the expected texts do not depend
// on where the tests run.
class ScheduleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    hadTz = tz != nullptr;
    if (hadTz) oldTz = tz;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override {
    if (hadTz) {
      setenv("TZ", oldTz.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  bool hadTz = false;
  std::string oldTz;
};

TEST_F(ScheduleTest, FirstBackupIsTodaysMidnightPlusTheInterval) {
  const Poco::LocalDateTime start(2013, 12, 4, 15, 30);
  struct Row {
    int hours;
    const char* expected;
  } rows[] = {
      {24, "2013-12-05 00:00:00"},  // the next midnight
      {12, "2013-12-04 12:00:00"},  // already past: the timer runs it at once
      {6, "2013-12-04 06:00:00"},   // past twice: runs at once, then again
      {1, "2013-12-04 01:00:00"},
      {48, "2013-12-06 00:00:00"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.hours);
    EXPECT_EQ(row.expected, text(firstBackupTime(start, row.hours)));
  }
}

TEST_F(ScheduleTest, FirstRemovalIsTheNextMidnight) {
  EXPECT_EQ("2013-12-05 00:00:00", text(firstRemovalTime(Poco::LocalDateTime(2013, 12, 4, 15, 30))));
  EXPECT_EQ("2014-01-01 00:00:00", text(firstRemovalTime(Poco::LocalDateTime(2013, 12, 31, 0, 0))));
  EXPECT_EQ("2016-02-29 00:00:00", text(firstRemovalTime(Poco::LocalDateTime(2016, 2, 28, 23, 59))));
}

TEST(ExpiryCutoff, LogCutoffGoesBackCalendarMonthsKeepingTheDay) {
  struct Row {
    int y, m, d, months;
    const char* expected;  // nullptr: no such day, the run deletes nothing
  } rows[] = {
      {2014, 7, 15, 6, "2014-01-15 00:00:00"},  {2014, 7, 1, 6, "2014-01-01 00:00:00"},
      {2014, 3, 10, 6, "2013-09-10 00:00:00"},  {2014, 1, 10, 12, "2013-01-10 00:00:00"},
      {2014, 1, 10, 13, "2012-12-10 00:00:00"}, {2014, 8, 31, 2, nullptr},
      {2014, 9, 1, 2, "2014-07-01 00:00:00"},   {2014, 12, 31, 6, nullptr},
      {2016, 4, 29, 2, "2016-02-29 00:00:00"},  {2015, 4, 29, 2, nullptr},
      {2014, 5, 31, 120, "2004-05-31 00:00:00"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.y << "-" << row.m << "-" << row.d << " minus " << row.months);
    Poco::DateTime cutoff;
    bool ok = logCutoff(Poco::LocalDateTime(row.y, row.m, row.d, 13, 45), row.months, cutoff);
    EXPECT_EQ(row.expected != nullptr, ok);
    if (ok && row.expected) {
      EXPECT_EQ(row.expected, text(cutoff));
    }
  }
}

TEST(ExpiryCutoff, BackupCutoffKeepsTheTimeOfDay) {
  EXPECT_EQ("2014-06-15 09:30:00", text(backupCutoff(Poco::DateTime(2014, 7, 15, 9, 30), 30)));
  EXPECT_EQ("2012-02-28 00:00:01", text(backupCutoff(Poco::DateTime(2012, 3, 2, 0, 0, 1), 3)));
}

}  // namespace
}  // namespace Pelu
