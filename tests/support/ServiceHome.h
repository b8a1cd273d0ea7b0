#pragma once

// A throw-away installation for process-level tests of mivo_srv: a home
// folder with the real binary copied into mivo/bin/ and a configuration
// file beside it that logs every line at trace level to standard output as
// "<priority> <text>", so tests can wait for lines and check their order.

#include "tests/support/TestSupport.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace mivo::test {

class ServiceHome {
 public:
  // `homeName` is the folder below the temporary folder that serves as the
  // home; give it a space to check that paths travel whole.
  explicit ServiceHome(const std::string& binaryPath, const std::string& homeName = "home");

  const std::string& home() const { return homeDir; }
  std::string bin() const { return homeDir + "/mivo/bin"; }
  std::string binary() const { return bin() + "/mivo_srv"; }
  std::string path(const std::string& relative) const { return homeDir + "/" + relative; }
  const TempDir& temp() const { return tmp; }

  // Writes mivo/bin/mivo_srv.properties: the logging set-up followed by
  // `settings` ("key = value" lines).
  void configure(const std::map<std::string, std::string>& settings = {},
                 const std::string& level = "trace");

  // The users table, created with the installation's own table text.
  std::string usersDb() const { return path("mivo/data/users/users"); }
  void createUsersTable();
  // Inserts a user; `updated` orders pending requests, oldest first.
  void addUser(int id, int status, int trigger, const std::string& updated = "2013-12-04 09:00:00");
  // A user's calendar row holding `data`, in the user's calendar file.
  void storeCalendar(int id, const std::string& data);
  // The log database of this month for "system" or a user id.
  std::string monthLogDb(const std::string& owner) const;
  // Codes of the records in a log database, oldest first; none when missing.
  std::vector<std::string> recordCodes(const std::string& owner) const;

  // Starts the copied binary; output files go to a fresh folder per run.
  std::unique_ptr<ChildProcess> start(const std::vector<std::string>& args = {},
                                      const std::map<std::string, std::string>& env = {});

 private:
  TempDir tmp;
  std::string homeDir;
  int runs = 0;
};

// Lines of `text` (without line ends).
std::vector<std::string> lines(const std::string& text);
// True when every needle occurs in `text`, in the given order.
bool inOrder(const std::string& text, const std::vector<std::string>& needles);

}  // namespace mivo::test
