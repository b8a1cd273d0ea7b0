#pragma once

// Helpers shared by the test programs of every area: throw-away folders,
// whole-file reads and writes, polling with a deadline, and real child
// processes whose output goes to files so a test can poll it while the
// child runs.

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <sys/types.h>

namespace mivo::test {

// A fresh folder below the system's temporary folder, removed with all its
// content when the object ends.
class TempDir {
 public:
  explicit TempDir(const std::string& prefix = "mivo-test");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return dir; }
  // path() joined with a relative name.
  std::string operator/(const std::string& name) const;

 private:
  std::string dir;
};

std::string readFile(const std::string& path);
// Creates missing parent folders.
void writeFile(const std::string& path, const std::string& content);
void makeExecutable(const std::string& path);
bool exists(const std::string& path);

// Runs SQL on a database file (created when missing); throws on error.
void sqlExec(const std::string& dbPath, const std::string& sql);
// Rows of a query, every column as text ("" for NULL, "NULL" never).
std::vector<std::vector<std::string>> sqlQuery(const std::string& dbPath, const std::string& sql);
// The first column of the first row, or "" when there is no row.
std::string sqlValue(const std::string& dbPath, const std::string& sql);

// Polls `condition` every 10 ms until it holds or `timeout` passes.
// Tests on running processes wait this way, never with a fixed sleep.
bool waitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::seconds(30));

// Number of non-overlapping occurrences of `needle` in `haystack`.
int countOccurrences(const std::string& haystack, const std::string& needle);

// A child process started with posix_spawn; its standard output and error
// go to files in `outputDir` (out.txt, err.txt) so they can be read while
// it runs. The destructor kills a child that is still running.
class ChildProcess {
 public:
  ChildProcess(const std::string& program, const std::vector<std::string>& args,
               const std::string& outputDir,
               const std::map<std::string, std::string>& extraEnv = {},
               const std::string& workingDir = "");
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return childPid; }
  void signal(int sig) const;
  // Exit code, 128 + signal number when killed, or -1 on timeout.
  int wait(std::chrono::milliseconds timeout = std::chrono::seconds(60));
  bool running();
  std::string out() const;
  std::string err() const;
  const std::string& outPath() const { return stdoutPath; }

 private:
  pid_t childPid = -1;
  bool reaped = false;
  int exitCode = -1;
  std::string stdoutPath;
  std::string stderrPath;
};

// Runs a program to its end and returns its exit code; output as above.
int runToEnd(const std::string& program, const std::vector<std::string>& args,
             const std::string& outputDir, std::string* out = nullptr,
             std::string* err = nullptr,
             const std::map<std::string, std::string>& extraEnv = {},
             std::chrono::milliseconds timeout = std::chrono::seconds(60));

}  // namespace mivo::test
