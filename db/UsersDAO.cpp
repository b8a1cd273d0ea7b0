#include "db/UsersDAO.h"

namespace Pelu::DB {
namespace {

constexpr int STATUS_REQUESTABLE = 20;
constexpr int TRIGGER_REQUESTED = 10;

// Maps a "SELECT *" row by column position, in the table's column order.
// A table with fewer columns fails here with QueryException code 25.
UsersListPtr readUsers(AbstractBaseDAO& dao, sqlitepp::SqliteStatement& statement) {
  auto list = std::make_shared<UsersList>();
  std::unique_ptr<sqlitepp::SqliteCursor> cursor = dao.openCursor(statement);
  while (cursor->next()) {
    Users users;
    users.id = cursor->getInt(0);
    users.status = cursor->getInt(1);
    users.trigger = cursor->getInt(2);
    users.dn_user_id = cursor->getInt(3);
    users.register_datetime = cursor->getString(4);
    users.update_datetime = cursor->getString(5);
    users.version_no = cursor->getInt(6);
    list->push_back(std::move(users));
  }
  return list;
}

}  // namespace

std::string UsersDAO::getCreateTableSql() const {
  return "CREATE TABLE users (  id INTEGER PRIMARY KEY, status INTEGER NOT NULL DEFAULT 0, "
         "trigger INTEGER NOT NULL DEFAULT 0, dn_user_id INTEGER NOT NULL, register_datetime TEXT NOT NULL, "
         "update_datetime TEXT NOT NULL, version_no INTEGER DEFAULT 1)";
}

UsersListPtr UsersDAO::findByMinStatus(int minStatus) {
  std::unique_ptr<sqlitepp::SqliteStatement> statement = prepareStatement("SELECT * FROM users WHERE status>=?");
  statement->bindInt(1, minStatus);
  return readUsers(*this, *statement);
}

UsersListPtr UsersDAO::findRequested() {
  std::unique_ptr<sqlitepp::SqliteStatement> statement =
      prepareStatement("SELECT * FROM users WHERE status=? AND trigger=? ORDER BY update_datetime ASC");
  statement->bindInt(1, STATUS_REQUESTABLE);
  statement->bindInt(2, TRIGGER_REQUESTED);
  return readUsers(*this, *statement);
}

void UsersDAO::insert(const Users& users) {
  std::unique_ptr<sqlitepp::SqliteStatement> statement = prepareStatement(
      "INSERT INTO users(status,dn_user_id,register_datetime,update_datetime) "
      "VALUES(?,?,datetime('now','localtime'),datetime('now','localtime'))");
  statement->bindInt(1, users.status);
  statement->bindInt(2, users.dn_user_id);
  stepStatement(*statement);
}

void UsersDAO::update(const Users& users) {
  std::unique_ptr<sqlitepp::SqliteStatement> statement = prepareStatement(
      "UPDATE users SET status=?,trigger=?/*,dn_user_id=?*/,update_datetime=datetime('now','localtime') WHERE id=?");
  statement->bindInt(1, users.status);
  statement->bindInt(2, users.trigger);
  statement->bindInt(3, users.id);
  stepStatement(*statement);
}

}  // namespace Pelu::DB
