#include "tests/support/TestSupport.h"

#include <boost/filesystem.hpp>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <sqlite3.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = boost::filesystem;

namespace mivo::test {

TempDir::TempDir(const std::string& prefix) {
  fs::path base = fs::temp_directory_path();
  fs::path p = base / fs::unique_path(prefix + "-%%%%-%%%%-%%%%");
  fs::create_directories(p);
  dir = fs::canonical(p).string();
}

TempDir::~TempDir() {
  boost::system::error_code ec;
  // Make everything writable again first: tests chmod folders read-only.
  for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    fs::permissions(it->path(), fs::owner_all | fs::add_perms, ec);
  }
  fs::remove_all(dir, ec);
}

std::string TempDir::operator/(const std::string& name) const { return (fs::path(dir) / name).string(); }

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFile(const std::string& path, const std::string& content) {
  fs::path p(path);
  if (p.has_parent_path()) fs::create_directories(p.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path);
  out << content;
}

void makeExecutable(const std::string& path) { ::chmod(path.c_str(), 0755); }

bool exists(const std::string& path) {
  boost::system::error_code ec;
  return fs::exists(path, ec);
}

namespace {

struct Db {
  explicit Db(const std::string& path) {
    if (sqlite3_open(path.c_str(), &handle) != SQLITE_OK) {
      std::string msg = sqlite3_errmsg(handle);
      sqlite3_close(handle);
      throw std::runtime_error("cannot open " + path + ": " + msg);
    }
    sqlite3_busy_timeout(handle, 10000);
  }
  ~Db() { sqlite3_close(handle); }
  sqlite3* handle = nullptr;
};

}  // namespace

void sqlExec(const std::string& dbPath, const std::string& sql) {
  Db db(dbPath);
  char* error = nullptr;
  if (sqlite3_exec(db.handle, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string msg = error ? error : "unknown error";
    sqlite3_free(error);
    throw std::runtime_error("SQL failed: " + msg + " in: " + sql);
  }
}

std::vector<std::vector<std::string>> sqlQuery(const std::string& dbPath, const std::string& sql) {
  Db db(dbPath);
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db.handle, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
    throw std::runtime_error(std::string("SQL failed: ") + sqlite3_errmsg(db.handle) + " in: " + sql);
  std::vector<std::vector<std::string>> rows;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    std::vector<std::string> row;
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
      const unsigned char* text = sqlite3_column_text(stmt, i);
      row.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
    }
    rows.push_back(std::move(row));
  }
  sqlite3_finalize(stmt);
  if (rc != SQLITE_DONE) throw std::runtime_error("SQL step failed in: " + sql);
  return rows;
}

std::string sqlValue(const std::string& dbPath, const std::string& sql) {
  auto rows = sqlQuery(dbPath, sql);
  return rows.empty() || rows[0].empty() ? std::string() : rows[0][0];
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

int countOccurrences(const std::string& haystack, const std::string& needle) {
  if (needle.empty()) return 0;
  int n = 0;
  for (std::string::size_type pos = haystack.find(needle); pos != std::string::npos;
       pos = haystack.find(needle, pos + needle.size()))
    ++n;
  return n;
}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::string& outputDir,
                           const std::map<std::string, std::string>& extraEnv,
                           const std::string& workingDir) {
  fs::create_directories(outputDir);
  stdoutPath = (fs::path(outputDir) / "out.txt").string();
  stderrPath = (fs::path(outputDir) / "err.txt").string();

  std::vector<std::string> envStrings;
  for (char** e = environ; *e; ++e) {
    std::string entry(*e);
    std::string key = entry.substr(0, entry.find('='));
    if (extraEnv.count(key) == 0) envStrings.push_back(entry);
  }
  for (const auto& [k, v] : extraEnv) envStrings.push_back(k + "=" + v);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (auto& e : envStrings) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

  // posix_spawn has no portable working-directory action in glibc 2.36's
  // public API before addchdir_np; use it when a folder is asked for.
  if (!workingDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingDir.c_str());

  int rc = posix_spawn(&childPid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("cannot start " + program + ": " + std::strerror(rc));
}

ChildProcess::~ChildProcess() {
  if (!reaped && childPid > 0) {
    ::kill(childPid, SIGKILL);
    int status = 0;
    ::waitpid(childPid, &status, 0);
  }
}

void ChildProcess::signal(int sig) const { ::kill(childPid, sig); }

bool ChildProcess::running() {
  if (reaped) return false;
  int status = 0;
  pid_t r = ::waitpid(childPid, &status, WNOHANG);
  if (r == childPid) {
    reaped = true;
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return false;
  }
  return true;
}

int ChildProcess::wait(std::chrono::milliseconds timeout) {
  if (!waitFor([this] { return !running(); }, timeout)) return -1;
  return exitCode;
}

std::string ChildProcess::out() const { return readFile(stdoutPath); }
std::string ChildProcess::err() const { return readFile(stderrPath); }

int runToEnd(const std::string& program, const std::vector<std::string>& args,
             const std::string& outputDir, std::string* out, std::string* err,
             const std::map<std::string, std::string>& extraEnv, std::chrono::milliseconds timeout) {
  ChildProcess child(program, args, outputDir, extraEnv);
  int code = child.wait(timeout);
  if (out) *out = child.out();
  if (err) *err = child.err();
  return code;
}

}  // namespace mivo::test
