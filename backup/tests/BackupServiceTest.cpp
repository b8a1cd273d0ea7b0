// The real mivo_srv writing its calendar backup. The service runs in a time
// zone chosen so that its local time is just past noon and with a backup
// interval of 12 hours: today's 12:00 has passed, so the first backup runs
// at once after start, and the next one not before midnight.

#include "tests/support/ServiceHome.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <csignal>
#include <ctime>

namespace fs = boost::filesystem;
using mivo::test::inOrder;
using mivo::test::waitFor;

namespace {

const std::string kCrlf = "\r\n";

std::string calendar(const std::string& calendarLevel, const std::string& components) {
  return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//EN\r\n" + calendarLevel + components +
         "END:VCALENDAR\r\n";
}

std::string event(const std::string& uid, const std::string& extra = "") {
  return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nDTSTAMP:20131204T090000Z\r\nDTSTART:20131205T100000Z\r\n" +
         "SUMMARY:Event " + uid + "\r\n" + extra + "END:VEVENT\r\n";
}

class BackupService : public ::testing::Test {
 protected:
  BackupService() : home(MIVO_SRV_PATH) {
    home.createUsersTable();
    // Local time = UTC + offset, with the offset chosen to land just past
    // 12:00. POSIX TZ strings count the other way round.
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    offsetHours = 12 - utc.tm_hour;
    tz = "MIVO" + std::to_string(-offsetHours);
    std::time_t local = now + offsetHours * 3600;
    std::tm day{};
    gmtime_r(&local, &day);
    char text[16];
    std::strftime(text, sizeof text, "%Y%m%d", &day);
    dayText = text;
  }

  std::string dayFolder() const { return home.path("mivo/data/backup/" + dayText); }
  std::string backupFile(int id) const { return dayFolder() + "/" + std::to_string(id) + ".ics"; }
  std::string log() const { return process->err(); }

  // Starts the service, waits for the end of the first backup (or an error
  // line) and stops it again.
  void runOnce(const std::string& waitFor = "END BACKUP") {
    home.configure({{"synctask.backup.interval", "12"}});
    process = home.start({}, {{"TZ", tz}});
    ASSERT_TRUE(mivo::test::waitFor([&] { return log().find(waitFor) != std::string::npos; })) << log();
    process->signal(SIGTERM);
    ASSERT_EQ(0, process->wait());
  }

  std::vector<std::string> systemCodes() const {
    // The month of the records follows the service's local time.
    std::vector<std::string> codes;
    for (auto& month : fs::directory_iterator(home.path("mivo/data/log"))) {
      auto db = month.path() / "system";
      if (!fs::exists(db)) continue;
      for (auto& row : mivo::test::sqlQuery(db.string(), "SELECT code FROM log ORDER BY id")) codes.push_back(row[0]);
    }
    return codes;
  }
  std::vector<std::vector<std::string>> userRecords(int id) const {
    std::vector<std::vector<std::string>> rows;
    for (auto& month : fs::directory_iterator(home.path("mivo/data/log"))) {
      auto db = month.path() / std::to_string(id);
      if (!fs::exists(db)) continue;
      for (auto& row : mivo::test::sqlQuery(db.string(), "SELECT code, message, user_id FROM log ORDER BY id"))
        rows.push_back(row);
    }
    return rows;
  }

  mivo::test::ServiceHome home;
  std::unique_ptr<mivo::test::ChildProcess> process;
  int offsetHours = 0;
  std::string tz, dayText;
};

TEST_F(BackupService, EveryUserWithACalendarGetsAFileAndRecordsInOrder) {
  home.addUser(3, 20, 0);
  home.addUser(12, 0, 0);
  home.storeCalendar(3, calendar("", event("a@x")));
  home.storeCalendar(12, calendar("", event("b@x")));
  runOnce();

  EXPECT_TRUE(fs::exists(backupFile(3)));
  EXPECT_TRUE(fs::exists(backupFile(12)));
  EXPECT_NE(std::string::npos, mivo::test::readFile(backupFile(12)).find("UID:b@x\r\n"));
  EXPECT_TRUE(inOrder(log(), {"Trace START BACKUP\n", "Trace BACKUP ID 3\n", "Trace BACKUP ID 12\n",
                              "Trace END BACKUP\n"}))
      << log();
  EXPECT_EQ((std::vector<std::string>{"10000001", "10000201", "10000202", "10000002"}), systemCodes());
  for (int id : {3, 12}) {
    SCOPED_TRACE(id);
    auto rows = userRecords(id);
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ((std::vector<std::string>{"10000203", "backup ics file created.", std::to_string(id)}), rows[0]);
  }
  // Only the final files: no temporary file stays behind.
  int entries = 0;
  for (auto& e : fs::directory_iterator(dayFolder())) entries += e.path().extension() == ".ics" ? 1 : 100;
  EXPECT_EQ(2, entries);
}

TEST_F(BackupService, CalendarLevelPrivatePropertiesGoButThoseInsideComponentsStay) {
  home.addUser(3, 20, 0);
  home.storeCalendar(3, calendar("X-RIZIDEDI-PRIVATE-METHOD:PUBLISH\r\nX-RIZIDEDI-PRIVATE-ETAG:\"7\"\r\n"
                                 "X-RIZIDEDI-NEEDS-ITIP:TRUE\r\nX-KEEP-ME:yes\r\n",
                                 event("a@x", "X-RIZIDEDI-PRIVATE-METHOD:INSIDE\r\n")));
  runOnce();
  std::string text = mivo::test::readFile(backupFile(3));
  EXPECT_EQ(std::string::npos, text.find("X-RIZIDEDI-PRIVATE-METHOD:PUBLISH")) << text;
  EXPECT_EQ(std::string::npos, text.find("X-RIZIDEDI-PRIVATE-ETAG")) << text;
  EXPECT_EQ(std::string::npos, text.find("X-RIZIDEDI-NEEDS-ITIP")) << text;
  EXPECT_NE(std::string::npos, text.find("X-RIZIDEDI-PRIVATE-METHOD:INSIDE\r\n")) << text;
  EXPECT_NE(std::string::npos, text.find("X-KEEP-ME:yes\r\n")) << text;
  EXPECT_EQ(0u, text.find("BEGIN:VCALENDAR\r\n"));
}

TEST_F(BackupService, InactiveMinusOneAndUsersWithoutCalendarAreSkipped) {
  home.addUser(3, -1, 0);
  home.storeCalendar(3, calendar("", event("a@x")));
  home.addUser(4, 20, 0);  // no calendar row at all
  home.addUser(5, 20, 0);
  home.storeCalendar(5, "");  // a row with empty text
  home.addUser(6, 10, 0);  // inactive but not removed: still backed up
  home.storeCalendar(6, calendar("", event("f@x")));
  runOnce();
  EXPECT_FALSE(fs::exists(backupFile(3)));
  EXPECT_FALSE(fs::exists(backupFile(4)));
  EXPECT_FALSE(fs::exists(backupFile(5)));
  EXPECT_TRUE(fs::exists(backupFile(6)));
  EXPECT_TRUE(userRecords(3).empty());
  EXPECT_TRUE(userRecords(4).empty());
  EXPECT_EQ(1u, userRecords(6).size());
}

TEST_F(BackupService, NoUsersGivesOnlyStartAndEndAndNoDayFolder) {
  runOnce();
  EXPECT_EQ((std::vector<std::string>{"10000001", "10000201", "10000202", "10000002"}), systemCodes());
  EXPECT_FALSE(fs::exists(dayFolder()));
  EXPECT_TRUE(inOrder(log(), {"START BACKUP", "END BACKUP"}));
}

TEST_F(BackupService, SecondRunOnTheSameDayReplacesTheFileWhole) {
  home.addUser(3, 20, 0);
  home.storeCalendar(3, calendar("", event("first@x") + event("second@x") + event("third@x")));
  runOnce();
  std::string first = mivo::test::readFile(backupFile(3));

  home.storeCalendar(3, calendar("", event("only@x")));
  runOnce();
  std::string second = mivo::test::readFile(backupFile(3));
  EXPECT_LT(second.size(), first.size());
  EXPECT_EQ(second.size() - 15, second.rfind("END:VCALENDAR\r\n")) << second;
  EXPECT_EQ(std::string::npos, second.find("first@x"));
}

TEST_F(BackupService, TextTheReaderRejectsIsKeptUnchanged) {
  home.addUser(3, 20, 0);
  const std::string notACalendar = "BEGIN:VCARD\r\nFN:Someone\r\nEND:VCARD\r\n";
  home.storeCalendar(3, notACalendar);
  home.addUser(4, 20, 0);
  const std::string otherVersion = "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\nUID:v1\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
  home.storeCalendar(4, otherVersion);
  runOnce();
  EXPECT_EQ(notACalendar, mivo::test::readFile(backupFile(3)));
  EXPECT_EQ(otherVersion, mivo::test::readFile(backupFile(4)));
  EXPECT_NE(std::string::npos, log().find("Warning backup of user 3 keeps the stored calendar text unchanged")) << log();
  EXPECT_EQ(1u, userRecords(3).size());
}

TEST_F(BackupService, DayFolderThatCannotBeCreatedEndsTheRunButNotTheSchedule) {
  home.addUser(3, 20, 0);
  home.storeCalendar(3, calendar("", event("a@x")));
  // A file where the backup folder belongs.
  mivo::test::writeFile(home.path("mivo/data/backup"), "in the way");
  // Stand-in sync commands so that a request shows the timer still works.
  for (const char* name : {"mivo_cd.exe", "mivo_dn.exe"}) {
    mivo::test::writeFile(home.bin() + "/" + name, "#!/bin/sh\nexit 0\n");
    mivo::test::makeExecutable(home.bin() + "/" + name);
  }
  home.configure({{"synctask.backup.interval", "12"}});
  process = home.start({}, {{"TZ", tz}});
  ASSERT_TRUE(waitFor([&] { return log().find("START BACKUP") != std::string::npos; })) << log();
  // The request comes once the run has failed, so the order below holds on
  // a slow machine too.
  ASSERT_TRUE(waitFor([&] { return log().find("Error ") != std::string::npos; })) << log();
  home.addUser(9, 20, 10);
  ASSERT_TRUE(waitFor([&] { return log().find("END PROC ID 9") != std::string::npos; })) << log();
  process->signal(SIGTERM);
  ASSERT_EQ(0, process->wait());
  EXPECT_TRUE(inOrder(log(), {"Trace START BACKUP\n", "Error ", "START PROC ID 9"})) << log();
  EXPECT_NE(std::string::npos, log().find("mivo/data/backup")) << log();
  EXPECT_EQ(std::string::npos, log().find("END BACKUP"));
  EXPECT_EQ((std::vector<std::string>{"10000001", "10000201", "10000002"}), systemCodes());
}

TEST_F(BackupService, TimeZoneDefinedByAnEarlierUsersCalendarIsSharedWithLaterUsers) {
  const std::string zone =
      "BEGIN:VTIMEZONE\r\nTZID:Mivo/Shared\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
      "TZOFFSETFROM:+0900\r\nTZOFFSETTO:+0900\r\nTZNAME:MST\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
  home.addUser(3, 20, 0);
  home.storeCalendar(3, calendar("", zone + event("a@x")));
  home.addUser(12, 20, 0);
  // Uses the zone without defining it.
  home.storeCalendar(12, calendar("", "BEGIN:VEVENT\r\nUID:b@x\r\nDTSTAMP:20131204T090000Z\r\n"
                                      "DTSTART;TZID=Mivo/Shared:20131205T100000\r\nEND:VEVENT\r\n"));
  runOnce();
  std::string text = mivo::test::readFile(backupFile(12));
  EXPECT_NE(std::string::npos, text.find("BEGIN:VTIMEZONE\r\nTZID:Mivo/Shared\r\n")) << text;
  EXPECT_NE(std::string::npos, text.find("DTSTART;TZID=Mivo/Shared:20131205T100000\r\n")) << text;
}

}  // namespace
