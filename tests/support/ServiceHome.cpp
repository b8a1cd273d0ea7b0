#include "tests/support/ServiceHome.h"

#include <boost/filesystem.hpp>

#include <Poco/DateTimeFormatter.h>
#include <Poco/LocalDateTime.h>

#include <sstream>

namespace fs = boost::filesystem;

namespace mivo::test {

ServiceHome::ServiceHome(const std::string& binaryPath, const std::string& homeName)
    : tmp("mivo-srv"), homeDir(tmp / homeName) {
  fs::create_directories(bin());
  fs::copy_file(binaryPath, binary(), fs::copy_options::overwrite_existing);
  makeExecutable(binary());
}

void ServiceHome::configure(const std::map<std::string, std::string>& settings, const std::string& level) {
  std::ostringstream text;
  text << "logging.loggers.root.channel = console\n"
       << "logging.loggers.root.level = " << level << "\n"
       << "logging.channels.console.class = ConsoleChannel\n"
       << "logging.channels.console.formatter = plain\n"
       << "logging.formatters.plain.class = PatternFormatter\n"
       << "logging.formatters.plain.pattern = %p %t\n";
  for (const auto& [key, value] : settings) text << key << " = " << value << "\n";
  writeFile(bin() + "/mivo_srv.properties", text.str());
}

void ServiceHome::createUsersTable() {
  fs::create_directories(path("mivo/data/users"));
  sqlExec(usersDb(),
          "CREATE TABLE users (  id INTEGER PRIMARY KEY, status INTEGER NOT NULL DEFAULT 0, trigger INTEGER NOT NULL "
          "DEFAULT 0, dn_user_id INTEGER NOT NULL, register_datetime TEXT NOT NULL, update_datetime TEXT NOT NULL, "
          "version_no INTEGER DEFAULT 1)");
}

void ServiceHome::addUser(int id, int status, int trigger, const std::string& updated) {
  sqlExec(usersDb(), "INSERT INTO users(id,status,trigger,dn_user_id,register_datetime,update_datetime) VALUES(" +
                         std::to_string(id) + "," + std::to_string(status) + "," + std::to_string(trigger) + "," +
                         std::to_string(id * 100) + ",'2013-12-01 00:00:00','" + updated + "')");
}

void ServiceHome::storeCalendar(int id, const std::string& data) {
  std::string folder = path("mivo/data/users/" + std::to_string(id));
  fs::create_directories(folder);
  std::string db = folder + "/calendar";
  sqlExec(db,
          "CREATE TABLE IF NOT EXISTS calendar(  id INTEGER PRIMARY KEY, status INTEGER NOT NULL DEFAULT 0, users_id "
          "INTEGER NOT NULL, data TEXT, cache TEXT, register_datetime TEXT, update_datetime TEXT, version_no INTEGER)");
  std::string quoted;
  for (char c : data) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  sqlExec(db, "DELETE FROM calendar; INSERT INTO calendar(status,users_id,data) VALUES(0," + std::to_string(id) +
                  ",'" + quoted + "')");
}

std::string ServiceHome::monthLogDb(const std::string& owner) const {
  return path("mivo/data/log/" + Poco::DateTimeFormatter::format(Poco::LocalDateTime(), "%Y%m") + "/" + owner);
}

std::vector<std::string> ServiceHome::recordCodes(const std::string& owner) const {
  std::vector<std::string> codes;
  if (!exists(monthLogDb(owner))) return codes;
  for (auto& row : sqlQuery(monthLogDb(owner), "SELECT code FROM log ORDER BY id")) codes.push_back(row[0]);
  return codes;
}

std::unique_ptr<ChildProcess> ServiceHome::start(const std::vector<std::string>& args,
                                                 const std::map<std::string, std::string>& env) {
  std::string outDir = tmp / ("run" + std::to_string(++runs));
  return std::make_unique<ChildProcess>(binary(), args, outDir, env);
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    result.push_back(line);
  }
  return result;
}

bool inOrder(const std::string& text, const std::vector<std::string>& needles) {
  std::string::size_type pos = 0;
  for (const auto& needle : needles) {
    pos = text.find(needle, pos);
    if (pos == std::string::npos) return false;
    pos += needle.size();
  }
  return true;
}

}  // namespace mivo::test
