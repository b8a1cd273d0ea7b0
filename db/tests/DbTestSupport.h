#pragma once

// Helpers of the data store's tests: a temporary home for the path
// resolution, and plain SQLite access to the files the code under test
// wrote, independent of the classes being tested.

#include "db/ServiceManager.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <ctime>
#include <stdexcept>
#include <string>
#include <vector>

namespace mivo::test {

using Rows = std::vector<std::vector<std::string>>;

// Every column as text; NULL as "NULL". Throws on any SQLite error.
inline Rows query(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    throw std::runtime_error("cannot open " + path);
  }
  Rows rows;
  sqlite3_stmt* stmt = nullptr;
  const char* tail = sql.c_str();
  int rc = SQLITE_OK;
  while (rc == SQLITE_OK && *tail != '\0') {
    rc = sqlite3_prepare_v2(db, tail, -1, &stmt, &tail);
    if (rc != SQLITE_OK || stmt == nullptr) break;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
      std::vector<std::string> row;
      for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
        const unsigned char* text = sqlite3_column_text(stmt, i);
        row.push_back(text ? reinterpret_cast<const char*>(text) : "NULL");
      }
      rows.push_back(row);
    }
    sqlite3_finalize(stmt);
    stmt = nullptr;
    if (rc == SQLITE_DONE) rc = SQLITE_OK;
  }
  std::string error = sqlite3_errmsg(db);
  sqlite3_close(db);
  if (rc != SQLITE_OK) throw std::runtime_error(sql + ": " + error);
  return rows;
}

// The single value of a one-row, one-column query.
inline std::string queryValue(const std::string& path, const std::string& sql) {
  Rows rows = query(path, sql);
  if (rows.size() != 1 || rows[0].size() != 1) throw std::runtime_error("not one value: " + sql);
  return rows[0][0];
}

// Local noon of a calendar day: far from any DST change and month edge.
inline std::time_t localNoon(int year, int month, int day) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = 12;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

// Points the path resolution at a fresh home for the test's lifetime.
class HomeTest : public ::testing::Test {
 protected:
  HomeTest() { Pelu::Service::ServiceManager::instance().homeDirectory = home.path(); }
  ~HomeTest() override { Pelu::Service::ServiceManager::instance().homeDirectory.clear(); }

  std::string dataPath(const std::string& relative) const { return home / ("mivo/data/" + relative); }

  TempDir home{"mivo-db"};
};

}  // namespace mivo::test
