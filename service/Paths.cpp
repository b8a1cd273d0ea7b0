#include "service/Paths.h"

#include "db/ServiceManager.h"

#include <boost/filesystem.hpp>

namespace fs = boost::filesystem;

namespace Pelu {
namespace {

// The home text as the service manager holds it; not resolved through
// HOME_DIR, so that resolving the product folder never creates the home.
std::string homeText() { return Service::ServiceManager::instance().homeDirectory; }

// Creates `path` (one level) unless it already is a directory. Losing a
// race against another thread or program that creates the same folder is
// success; anything else (no permission, a file in the way, a missing
// parent) is raised.
void ensureDirectory(const std::string& path) {
  boost::system::error_code ec;
  if (fs::is_directory(path, ec)) return;
  fs::create_directory(path, ec);
  if (!ec) return;
  boost::system::error_code ignored;
  if (fs::is_directory(path, ignored)) return;
  throw fs::filesystem_error("cannot create directory", fs::path(path), ec);
}

std::string resolve(int id, const std::string& key, const std::string& name) {
  std::string path;
  switch (id) {
    case HOME_DIR: path = homeText(); break;
    case PRODUCT_DIR: path = joinPath(homeText(), "mivo"); break;
    case BIN_DIR: path = joinPath(resolve(PRODUCT_DIR, key, name), "bin"); break;
    case DATA_DIR: path = joinPath(resolve(PRODUCT_DIR, key, name), "data"); break;
    case SYSTEM_DIR: path = joinPath(resolve(DATA_DIR, key, name), "system"); break;
    case USERS_DIR: path = joinPath(resolve(DATA_DIR, key, name), "users"); break;
    case USER_DIR: path = joinPath(resolve(USERS_DIR, key, name), key); break;
    case BACKUP_DIR: path = joinPath(resolve(DATA_DIR, key, name), "backup"); break;
    case BACKUP_DAY_DIR: path = joinPath(resolve(BACKUP_DIR, key, name), key); break;
    case LOG_DIR: path = joinPath(resolve(DATA_DIR, key, name), "log"); break;
    case LOG_MONTH_DIR: path = joinPath(resolve(LOG_DIR, key, name), key); break;
    case PAGE_DIR: path = joinPath(resolve(PRODUCT_DIR, key, name), "page"); break;

    case SYSTEM_DB: return joinPath(resolve(SYSTEM_DIR, key, name), "system");
    case USERS_DB: return joinPath(resolve(USERS_DIR, key, name), "users");
    case USER_DB: return joinPath(resolve(USER_DIR, key, name), "user");
    case AUTH_DB: return joinPath(resolve(USER_DIR, key, name), "auth");
    case VEVIZA_USER_DB: return joinPath(resolve(USER_DIR, key, name), "veviza_user");
    case CALENDAR_DB: return joinPath(resolve(USER_DIR, key, name), "calendar");
    case CALENDAR_LINK_DB: return joinPath(resolve(USER_DIR, key, name), "calendar_link");
    case SESSION_DB: return joinPath(resolve(USERS_DIR, key, name), "session");
    case BACKUP_FILE: return joinPath(resolve(BACKUP_DAY_DIR, key, name), name);
    case LOG_SYSTEM_DB: return joinPath(resolve(LOG_MONTH_DIR, key, name), "system");
    case LOG_USER_DB: return joinPath(resolve(LOG_MONTH_DIR, key, name), name);
    case PROPERTY_FILE: return joinPath(resolve(BIN_DIR, key, name), "mivo.property");
    case USER_LOCK_DIR: return joinPath(resolve(USERS_DIR, key, name), key + ".lock");
    case DN_COMMAND: return joinPath(resolve(BIN_DIR, key, name), "mivo_dn.exe");
    case CD_COMMAND: return joinPath(resolve(BIN_DIR, key, name), "mivo_cd.exe");
    case VERSION_FILE: return joinPath(joinPath(resolve(HOME_DIR, key, name), "data"), "version");
    case USER_SETTINGS_DB: return joinPath(resolve(USER_DIR, key, name), "user_settings");

    default: return resolve(PRODUCT_DIR, key, name);
  }
  ensureDirectory(path);
  return path;
}

}  // namespace

std::string joinPath(const std::string& left, const std::string& right) {
  if (right.empty()) return left;
  if (!left.empty() && left.back() == '/') return left + right;
  return left + "/" + right;
}

std::string resolvePath(int id) { return resolve(id, std::string(), std::string()); }

std::string resolvePath(int id, const std::string& key) { return resolve(id, key, std::string()); }

std::string resolvePath(int id, const std::string& key, const std::string& name) {
  return resolve(id, key, name);
}

}  // namespace Pelu
