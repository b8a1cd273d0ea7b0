#pragma once

#include <string>

// Every file and folder of the service lies below one home directory in a
// fixed tree. Code never builds those paths itself: it resolves a numbered
// path id, with a key (user id "%d", day "%Y%m%d" or month "%Y%m") and for
// two ids a file name. The same tree is handed to the sync commands, so it
// is also the layout the other programs of the installation rely on.
//
// Resolution walks the whole chain of parents on every call and creates
// each missing folder of the chain (ids above 1000), one level at a time,
// so a folder deleted while the service runs reappears the next time
// anything below it is resolved. The home directory itself is created only
// when HOME_DIR or VERSION_FILE is resolved; everything from PRODUCT_DIR
// down starts from the home text, so a missing home makes those fail with
// a file-system error instead of silently creating a new tree somewhere.
// Files (ids up to 1000) are never created here.
//
// Stateless; safe to call from any thread. Two threads creating the same
// folder at once both succeed.

namespace Pelu {

enum PathId : int {
  // Folders, created on demand.
  HOME_DIR = 1001,        // the home directory
  PRODUCT_DIR = 1002,     // home/mivo
  BIN_DIR = 1003,         // home/mivo/bin
  DATA_DIR = 1004,        // home/mivo/data
  SYSTEM_DIR = 1005,      // home/mivo/data/system
  USERS_DIR = 1006,       // home/mivo/data/users
  USER_DIR = 1007,        // home/mivo/data/users/<key>
  BACKUP_DIR = 1009,      // home/mivo/data/backup
  BACKUP_DAY_DIR = 1010,  // home/mivo/data/backup/<key>
  LOG_DIR = 1011,         // home/mivo/data/log
  LOG_MONTH_DIR = 1012,   // home/mivo/data/log/<key>
  PAGE_DIR = 1013,        // home/mivo/page

  // Files (and the lock folder, which the lock operations create themselves).
  SYSTEM_DB = 1,          // SYSTEM_DIR/system
  USERS_DB = 2,           // USERS_DIR/users
  USER_DB = 3,            // USER_DIR(key)/user
  AUTH_DB = 4,            // USER_DIR(key)/auth
  VEVIZA_USER_DB = 5,     // USER_DIR(key)/veviza_user
  CALENDAR_DB = 6,        // USER_DIR(key)/calendar
  CALENDAR_LINK_DB = 7,   // USER_DIR(key)/calendar_link
  SESSION_DB = 8,         // USERS_DIR/session
  BACKUP_FILE = 9,        // BACKUP_DAY_DIR(key)/<name>
  LOG_SYSTEM_DB = 10,     // LOG_MONTH_DIR(key)/system
  LOG_USER_DB = 11,       // LOG_MONTH_DIR(key)/<name>
  PROPERTY_FILE = 13,     // BIN_DIR/mivo.property
  USER_LOCK_DIR = 14,     // USERS_DIR/<key>.lock
  DN_COMMAND = 15,        // BIN_DIR/mivo_dn.exe
  CD_COMMAND = 16,        // BIN_DIR/mivo_cd.exe
  VERSION_FILE = 17,      // HOME_DIR/data/version (beside the product folder)
  USER_SETTINGS_DB = 18,  // USER_DIR(key)/user_settings
};

// For ids without a key. Any id this form does not list gives PRODUCT_DIR.
// Throws boost::filesystem::filesystem_error when a folder cannot be created.
std::string resolvePath(int id);
// For USER_DIR, BACKUP_DAY_DIR, LOG_MONTH_DIR, ids 3 to 7, 10, 14 and 18.
std::string resolvePath(int id, const std::string& key);
// For BACKUP_FILE and LOG_USER_DB.
std::string resolvePath(int id, const std::string& key, const std::string& name);

// Joins two path texts with one "/" unless `left` already ends with one;
// an empty `right` adds nothing. A home of "/" thus gives "/mivo".
std::string joinPath(const std::string& left, const std::string& right);

}  // namespace Pelu
