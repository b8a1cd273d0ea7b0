// Measures how many log records per second LogService::addLog writes, for
// one users id (the bound file is reused) and for alternating users ids
// (every record closes one month file, opens another and attaches its
// previous month), next to the floor set by the disk: a bare SQLite insert
// of the same row, each in its own BEGIN/END, into a file in the same
// folder, measured in the same run.
//
// Usage: db_bench [folder [records per run [runs]]]
// The folder defaults to the system's temporary folder; give one on the
// disk that the service's home will live on.

#include "db/LogCodes.h"
#include "db/LogDAO.h"
#include "db/LogService.h"
#include "db/ServiceManager.h"

#include <boost/filesystem.hpp>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = boost::filesystem;
using Pelu::Service::LogService;
using Pelu::Service::ServiceManager;

namespace {

void check(int rc, sqlite3* db, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE) {
    throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
  }
}

// The same row as LogDAO::insert, through one prepared statement, each in
// its own transaction.
double bareInserts(const std::string& path, int records) {
  sqlite3* db = nullptr;
  check(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr), db, "open");
  check(sqlite3_exec(db, Pelu::DB::LogDAO().getCreateTableSql().c_str(), nullptr, nullptr, nullptr), db, "create");
  sqlite3_stmt* stmt = nullptr;
  check(sqlite3_prepare_v2(db,
                           "INSERT INTO log(status,user_id,type,level,code,message,register_datetime,"
                           "update_datetime,process,line,file,function) VALUES(10,NULL,30,30,'10000101',"
                           "'veviza sync start.',datetime('now','localtime'),datetime('now','localtime'),"
                           "'db_bench',NULL,NULL,NULL)",
                           -1, &stmt, nullptr),
        db, "prepare");
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < records; ++i) {
    check(sqlite3_exec(db, "BEGIN TRANSACTION", nullptr, nullptr, nullptr), db, "begin");
    check(sqlite3_step(stmt), db, "step");
    sqlite3_reset(stmt);
    check(sqlite3_exec(db, "END TRANSACTION", nullptr, nullptr, nullptr), db, "end");
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return records / elapsed.count();
}

double logRecords(int records, const std::function<int(int)>& usersIdOf) {
  LogService service;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < records; ++i) {
    service.addEventLog(Pelu::DB::logCode(Pelu::DB::EVENT_SYNC_START), Pelu::DB::EVENT_SYNC_START.message,
                        Pelu::DB::EVENT_LOG_TYPE, usersIdOf(i));
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  return records / elapsed.count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path base = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
  const int records = argc > 2 ? std::atoi(argv[2]) : 200;
  const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
  if (records < 1 || runs < 1) {
    std::fprintf(stderr, "usage: db_bench [folder [records per run [runs]]]\n");
    return 2;
  }

  const fs::path work = base / fs::unique_path("mivo-db-bench-%%%%-%%%%");
  fs::create_directories(work);
  ServiceManager::instance().homeDirectory = fs::canonical(work).string();
  ServiceManager::instance().processName = "db_bench";

  // Previous month files for both owners, so that every change of users id
  // attaches one, as in a running installation.
  const std::string previous = LogService::monthTexts(std::time(nullptr)).second;
  for (const char* owner : {"system", "12"}) {
    const fs::path file = work / "mivo/data/log" / previous / owner;
    fs::create_directories(file.parent_path());
    Pelu::DB::LogDAO dao;
    dao.setDatabase(file.string());
  }

  std::vector<double> bare, single, alternating;
  for (int run = 0; run < runs; ++run) {
    bare.push_back(bareInserts((work / ("bare-" + std::to_string(run))).string(), records));
    single.push_back(logRecords(records, [](int) { return 12; }));
    alternating.push_back(logRecords(records, [](int i) { return i % 2 == 0 ? 0 : 12; }));
  }

  std::printf("folder: %s\n", work.string().c_str());
  std::printf("%d runs of %d records each, medians:\n", runs, records);
  std::printf("  bare SQLite insert in BEGIN/END : %9.1f records/s\n", median(bare));
  std::printf("  addLog, one users id            : %9.1f records/s  (%.2f of bare)\n", median(single),
              median(single) / median(bare));
  std::printf("  addLog, alternating users ids   : %9.1f records/s  (%.2f of bare)\n", median(alternating),
              median(alternating) / median(bare));

  ServiceManager::instance().homeDirectory.clear();
  boost::system::error_code ec;
  fs::remove_all(work, ec);
  return 0;
}
