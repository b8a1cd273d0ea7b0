#include "db/CalendarDAO.h"

#include "db/SelectException.h"

namespace Pelu::DB {

std::shared_ptr<Calendar> CalendarDAO::findByUserId(int usersId) {
  // The messages are shared with the other programs of the installation,
  // which show them to administrators in Japanese.
  if (usersId < 1) throw SelectException("引数が不正です。");

  std::unique_ptr<sqlitepp::SqliteStatement> statement = prepareStatement("SELECT * FROM calendar WHERE users_id=?");
  statement->bindInt(1, usersId);
  std::unique_ptr<sqlitepp::SqliteCursor> cursor = openCursor(*statement);

  auto calendar = std::make_shared<Calendar>();
  while (cursor->next()) {
    if (cursor->getRowCount() > 1) throw SelectException("2つ以上のデータを取得しました");
    calendar->id = cursor->getInt(0);
    calendar->status = cursor->getInt(1);
    calendar->users_id = cursor->getInt(2);
    calendar->data = cursor->getString(3);
    calendar->cache = cursor->getString(4);
    calendar->register_datetime = cursor->getString(5);
    calendar->update_datetime = cursor->getString(6);
    calendar->version_no = cursor->getInt(7);
  }
  return calendar;
}

}  // namespace Pelu::DB
