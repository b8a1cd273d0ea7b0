#include "db/LogDAO.h"

#include <boost/filesystem.hpp>

#include <algorithm>

namespace Pelu::DB {
namespace {

// NULL, not 0 or "", marks a column the writer had no value for, so that
// queries of the other programs can tell "no user" from a user.
void bindIntOrNull(sqlitepp::SqliteStatement& statement, int index, int value) {
  if (value < 1) {
    statement.bindNull(index);
  } else {
    statement.bindInt(index, value);
  }
}

void bindTextOrNull(sqlitepp::SqliteStatement& statement, int index, const std::string& value) {
  if (value.empty()) {
    statement.bindNull(index);
  } else {
    statement.bindText(index, value);
  }
}

}  // namespace

void LogDAO::setDatabase(const std::string& path) {
  // Attachments belong to the connection: forget them only when the
  // connection is replaced. Binding again to the file already bound keeps
  // the connection, and with it what is attached to it.
  if (path.empty() || path == databasePath) return;
  attachedPaths.clear();
  AbstractBaseDAO::setDatabase(path);
}

void LogDAO::insert(const Log& log) {
  std::unique_ptr<sqlitepp::SqliteStatement> statement = prepareStatement(
      "INSERT INTO log(status,user_id,type,level,code,message,register_datetime,update_datetime,process,line,file,"
      "function) VALUES(?,?,?,?,?,?,datetime('now','localtime'),datetime('now','localtime'),?,?,?,?)");
  statement->bindInt(1, log.status);
  bindIntOrNull(*statement, 2, log.user_id);
  statement->bindInt(3, log.type);
  statement->bindInt(4, log.level);
  statement->bindText(5, log.code);
  statement->bindText(6, log.message);
  bindTextOrNull(*statement, 7, log.process);
  bindIntOrNull(*statement, 8, log.line);
  bindTextOrNull(*statement, 9, log.file);
  bindTextOrNull(*statement, 10, log.function);
  stepStatement(*statement);
}

void LogDAO::attach(const std::string& path) {
  if (!boost::filesystem::exists(path)) return;
  // Attaching a file twice would only take another schema name for it.
  if (std::find(attachedPaths.begin(), attachedPaths.end(), path) != attachedPaths.end()) return;
  // "%q" doubles the quotes of a path such as /home/o'neil/...
  const int number = static_cast<int>(attachedPaths.size()) + 1;
  executeSql(sqlitepp::formatSql("ATTACH '%q' AS %q_%d", path.c_str(), "as", number));
  // Recorded once attached, so the list never names a file that a failed
  // ATTACH left out.
  attachedPaths.push_back(path);
}

}  // namespace Pelu::DB
