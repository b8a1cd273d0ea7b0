// The POSIX side of SetupPlatform: systemd unit folders stand for the service
// manager, msiexec is found on PATH, messages go to standard output and debug
// output to standard error. This file is the only one of mivo_setup that
// talks to the operating system.

#include "setup/SetupPlatform.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <utility>

#include <dirent.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace MivoSetup {

namespace {

// Searched in this order; a unit in an earlier folder hides one of the same
// name in a later folder, as systemd itself resolves them.
const char* const DEFAULT_UNIT_DIRS[] = {"/etc/systemd/system", "/run/systemd/system",
                                         "/lib/systemd/system", "/usr/lib/systemd/system"};

const char UNIT_SUFFIX[] = ".service";

// Upper bound for the program path; /proc/self/exe never comes near it, and
// the bound keeps a broken link from growing the buffer without end.
const std::size_t MAX_PROGRAM_PATH = 1 << 16;

std::string trim(const std::string& text) {
  const char* const blanks = " \t\r\n";
  const std::string::size_type first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// The Description= of a unit file's [Unit] section, or an empty string. As
// in systemd, the last assignment wins and an empty one clears the value.
std::string unitDescription(const std::string& path) {
  std::ifstream in(path);
  std::string description;
  std::string section;
  std::string line;
  while (std::getline(in, line)) {
    line = trim(line);
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      section = line;
      continue;
    }
    if (section != "[Unit]") continue;
    const std::string::size_type eq = line.find('=');
    if (eq == std::string::npos || trim(line.substr(0, eq)) != "Description") continue;
    description = trim(line.substr(eq + 1));
  }
  return description;
}

bool isServiceUnitName(const std::string& name) {
  const std::size_t suffixLength = sizeof(UNIT_SUFFIX) - 1;
  return name.size() > suffixLength &&
         name.compare(name.size() - suffixLength, suffixLength, UNIT_SUFFIX) == 0;
}

// The unit folders as the service manager. Every enumeration reads the
// folders afresh, so it always sees the current state and answers in one
// page: unlike a fixed-size buffer, nothing here can overflow.
class UnitFolderManager : public ServiceControlManager {
 public:
  explicit UnitFolderManager(std::vector<std::string> folders) : folders(std::move(folders)) {}

  ServicePage enumerateServices() override {
    ServicePage page;
    std::set<std::string> seen;
    bool anyFolderRead = false;
    for (const std::string& folder : folders) {
      DIR* dir = ::opendir(folder.c_str());
      // A missing or unreadable folder holds no units for us; the others
      // still count.
      if (dir == nullptr) continue;
      anyFolderRead = true;
      while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!isServiceUnitName(name)) continue;
        const std::string path = folder + "/" + name;
        // Follows links: a unit linked to /dev/null (masked) is still
        // registered; a dangling link or a folder is not a unit.
        struct stat info;
        if (::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) continue;
        std::string serviceName = name.substr(0, name.size() - (sizeof(UNIT_SUFFIX) - 1));
        if (!seen.insert(serviceName).second) continue;
        std::string displayName = unitDescription(path);
        if (displayName.empty()) displayName = serviceName;
        page.services.push_back({std::move(serviceName), std::move(displayName)});
      }
      ::closedir(dir);
    }
    std::sort(page.services.begin(), page.services.end(),
              [](const ServiceEntry& a, const ServiceEntry& b) { return a.serviceName < b.serviceName; });
    page.status = anyFolderRead ? EnumerationStatus::COMPLETE : EnumerationStatus::FAILED;
    return page;
  }

 private:
  const std::vector<std::string> folders;
};

// Called from the main thread only; holds nothing but settings read from the
// environment at start.
class PosixSetupPlatform : public SetupPlatform {
 public:
  PosixSetupPlatform(std::vector<std::string> unitFolders, bool debugEnabled)
      : unitFolders(std::move(unitFolders)), debugEnabled(debugEnabled) {}

  std::unique_ptr<ServiceControlManager> openServiceManager() override {
    // The manager counts as open when at least one unit folder can be read;
    // with none there is no service manager to ask.
    for (const std::string& folder : unitFolders) {
      if (DIR* dir = ::opendir(folder.c_str())) {
        ::closedir(dir);
        return std::make_unique<UnitFolderManager>(unitFolders);
      }
    }
    return nullptr;
  }

  std::string programPath() override {
    // readlink neither terminates nor reports truncation: a result that
    // fills the buffer may have been cut, so grow the buffer and read again.
    for (std::size_t size = 1024; size <= MAX_PROGRAM_PATH; size *= 2) {
      std::string buffer(size, '\0');
      const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
      if (length < 0) return std::string();
      if (static_cast<std::size_t>(length) < buffer.size()) {
        buffer.resize(static_cast<std::size_t>(length));
        return buffer;
      }
    }
    return std::string();
  }

  std::optional<int> runInstaller(const std::string& packagePath) override {
    // Messages already written must appear before anything the installer
    // writes to the same terminal.
    std::fflush(stdout);
    std::fflush(stderr);

    std::string program = "msiexec";
    std::string option = "/I";
    std::string path = packagePath;
    char* argv[] = {program.data(), option.data(), path.data(), nullptr};
    pid_t child = -1;
    const int rc = ::posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv, environ);
    if (rc != 0) {
      // Where the installer is started through the shell, the shell itself
      // tells the user that it cannot be found; do the same here.
      std::fprintf(stderr, "mivo_setup: cannot start msiexec: %s\n", std::strerror(rc));
      return std::nullopt;
    }

    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
      if (errno != EINTR) {
        std::fprintf(stderr, "mivo_setup: cannot wait for msiexec: %s\n", std::strerror(errno));
        return std::nullopt;
      }
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    // Killed by a signal: not a success, whatever the signal.
    return 128 + WTERMSIG(status);
  }

  void showMessage(const std::string& caption, const std::string& text, MessageIcon) override {
    const std::string box = caption + "\n" + text + "\n\n";
    std::fwrite(box.data(), 1, box.size(), stdout);
    std::fflush(stdout);
  }

  void debugOutput(const std::string& text) override {
    if (!debugEnabled) return;
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
  }

 private:
  const std::vector<std::string> unitFolders;
  const bool debugEnabled;
};

// MIVO_UNIT_DIRS, when set, replaces the default folders; empty entries are
// ignored, so an empty value leaves no folder and no service manager.
std::vector<std::string> unitFoldersFromEnvironment() {
  const char* value = std::getenv("MIVO_UNIT_DIRS");
  if (value == nullptr) return {std::begin(DEFAULT_UNIT_DIRS), std::end(DEFAULT_UNIT_DIRS)};
  std::vector<std::string> folders;
  std::string list = value;
  std::string::size_type start = 0;
  while (start <= list.size()) {
    std::string::size_type colon = list.find(':', start);
    if (colon == std::string::npos) colon = list.size();
    if (colon > start) folders.push_back(list.substr(start, colon - start));
    start = colon + 1;
  }
  return folders;
}

}  // namespace

std::unique_ptr<SetupPlatform> createSystemPlatform() {
  const char* debug = std::getenv("MIVO_DEBUG");
  return std::make_unique<PosixSetupPlatform>(unitFoldersFromEnvironment(),
                                              debug != nullptr && *debug != '\0');
}

}  // namespace MivoSetup
