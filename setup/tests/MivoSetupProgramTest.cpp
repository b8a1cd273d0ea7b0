// The real mivo_setup program, copied into a throw-away installation medium
// whose folder name has spaces, with a stand-in msiexec on PATH that records
// its arguments and exits with a chosen code, and unit folders standing for
// the registered services.

#include "setup/SetupSequence.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

namespace MivoSetup {
namespace {

using mivo::test::TempDir;
using mivo::test::makeExecutable;
using mivo::test::readFile;
using mivo::test::runToEnd;
using mivo::test::writeFile;

namespace fs = std::filesystem;

// Records one line per call, "<argc> [arg1] [arg2] ...", says on the shared
// standard output that it ran, then exits with the code chosen for the
// package it was given.
const char* const FAKE_MSIEXEC = R"(#!/bin/sh
{ printf '%s' "$#"; for a in "$@"; do printf ' [%s]' "$a"; done; printf '\n'; } >> "$MSIEXEC_LOG"
echo "msiexec ran ${2##*/}"
case "$2" in
  */msi/mivo_setup.msi) exit "${MSIEXEC_FIRST_EXIT:-0}" ;;
  */msi/setup2.msi) exit "${MSIEXEC_SECOND_EXIT:-0}" ;;
esac
exit 99
)";

const char* const MIVO_UNIT =
    "[Unit]\nDescription=Mivo service\n\n[Service]\nExecStart=/opt/mivo/bin/mivo_srv\n";

// How a message reads on standard output.
std::string box(const char* text) { return std::string(CAPTION) + "\n" + text + "\n\n"; }

// What the stand-in installer writes when it runs; its place among the
// messages shows that each message is out before the next package starts.
const std::string RAN_FIRST = "msiexec ran mivo_setup.msi\n";
const std::string RAN_SECOND = "msiexec ran setup2.msi\n";

struct Outcome {
  int exitCode = -1;
  std::string out;
  std::string err;
  std::string calls;  // the stand-in msiexec's record
};

class MivoSetupProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(fakeBin);
    writeFile(fakeBin + "/msiexec", FAKE_MSIEXEC);
    makeExecutable(fakeBin + "/msiexec");
    fs::create_directories(unitDir);
    program = placeProgram(medium);
  }

  // Copies the program into `folder` with the two packages beside it.
  std::string placeProgram(const std::string& folder) {
    fs::create_directories(folder + "/msi");
    const std::string copy = folder + "/mivo_setup";
    fs::copy_file(MIVO_SETUP_PATH, copy);
    makeExecutable(copy);
    writeFile(folder + "/msi/mivo_setup.msi", "service package");
    writeFile(folder + "/msi/setup2.msi", "image package");
    return copy;
  }

  Outcome run(std::map<std::string, std::string> env = {}, const std::string& which = "") {
    env.emplace("PATH", fakeBin + ":/usr/bin:/bin");
    env.emplace("MIVO_UNIT_DIRS", unitDir);
    env.emplace("MIVO_DEBUG", "");
    env.emplace("MSIEXEC_LOG", log);
    Outcome outcome;
    outcome.exitCode = runToEnd(which.empty() ? program : which, {}, tmp / "output", &outcome.out,
                                &outcome.err, env);
    outcome.calls = readFile(log);
    return outcome;
  }

  std::string call(const std::string& package) const {
    return "2 [/I] [" + medium + "/" + package + "]\n";
  }

  TempDir tmp{"mivo-setup"};
  const std::string medium = tmp / "Mivo Disk 1";
  const std::string fakeBin = tmp / "fake bin";
  const std::string unitDir = tmp / "units";
  const std::string log = tmp / "msiexec.log";
  std::string program;
};

TEST_F(MivoSetupProgram, RunsThePackagesAndShowsTheMessagesInOrder) {
  struct Case {
    bool registered;
    const char* firstExit;
    const char* secondExit;
    std::string out;
    int calls;
  };
  const Case cases[] = {
      {true, "0", "0",
       box(TEXT_UPDATE_WARNING) + RAN_FIRST + box(TEXT_FIRST_PACKAGE_DONE) + RAN_SECOND +
           box(TEXT_FINISHED_UPDATE),
       2},
      {false, "0", "0",
       RAN_FIRST + box(TEXT_FIRST_PACKAGE_DONE) + RAN_SECOND + box(TEXT_FINISHED_NEW), 2},
      {true, "66", "0", box(TEXT_UPDATE_WARNING) + RAN_FIRST, 1},
      {false, "66", "0", RAN_FIRST, 1},
      {true, "0", "3", box(TEXT_UPDATE_WARNING) + RAN_FIRST + box(TEXT_FIRST_PACKAGE_DONE) + RAN_SECOND,
       2},
      {false, "0", "3", RAN_FIRST + box(TEXT_FIRST_PACKAGE_DONE) + RAN_SECOND, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "registered=" << c.registered << " first exit "
                                      << c.firstExit << " second exit " << c.secondExit);
    fs::remove(log);
    fs::remove(unitDir + "/mivo_neo_srv.service");
    if (c.registered) writeFile(unitDir + "/mivo_neo_srv.service", MIVO_UNIT);

    const Outcome outcome =
        run({{"MSIEXEC_FIRST_EXIT", c.firstExit}, {"MSIEXEC_SECOND_EXIT", c.secondExit}});

    std::string expectedCalls = call("msi/mivo_setup.msi");
    if (c.calls == 2) expectedCalls += call("msi/setup2.msi");
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.out, c.out);
    EXPECT_EQ(outcome.calls, expectedCalls);
    EXPECT_EQ(outcome.err, "");
  }
}

TEST_F(MivoSetupProgram, OnlyTheExactServiceNameCounts) {
  writeFile(unitDir + "/other.service", "[Unit]\nDescription=mivo_neo_srv\n");
  writeFile(unitDir + "/Mivo_Neo_Srv.service", MIVO_UNIT);
  writeFile(unitDir + "/mivo_neo_srv.socket", "[Unit]\nDescription=Mivo socket\n");
  fs::create_directories(unitDir + "/mivo_neo_srv.service.d");
  fs::create_directories(unitDir + "/multi-user.target.wants");
  writeFile(unitDir + "/multi-user.target.wants/mivo_neo_srv.service", MIVO_UNIT);
  // Left over from a removed unit: a link to nothing, and a folder in a
  // later unit folder that merely carries the name.
  fs::create_symlink(tmp / "removed.service", unitDir + "/mivo_neo_srv.service");
  const std::string later = tmp / "lib units";
  fs::create_directories(later + "/mivo_neo_srv.service");

  const Outcome outcome = run({{"MIVO_UNIT_DIRS", unitDir + ":" + later}});

  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.out, RAN_FIRST + box(TEXT_FIRST_PACKAGE_DONE) + RAN_SECOND + box(TEXT_FINISHED_NEW));
}

TEST_F(MivoSetupProgram, FindsAMaskedServiceInALaterUnitFolder) {
  // A masked unit (linked to /dev/null) is disabled, not unregistered.
  const std::string later = tmp / "lib units";
  fs::create_directories(later);
  fs::create_symlink("/dev/null", later + "/mivo_neo_srv.service");

  const Outcome outcome =
      run({{"MIVO_UNIT_DIRS", tmp / "missing" + ":" + unitDir + "::" + later}});

  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.out, box(TEXT_UPDATE_WARNING) + RAN_FIRST + box(TEXT_FIRST_PACKAGE_DONE) +
                             RAN_SECOND + box(TEXT_FINISHED_UPDATE));
}

TEST_F(MivoSetupProgram, NoServiceManagerMeansANewInstallation) {
  const Outcome outcome = run({{"MIVO_UNIT_DIRS", tmp / "no such folder"}});

  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.out, RAN_FIRST + box(TEXT_FIRST_PACKAGE_DONE) + RAN_SECOND + box(TEXT_FINISHED_NEW));
  EXPECT_EQ(outcome.calls, call("msi/mivo_setup.msi") + call("msi/setup2.msi"));
}

TEST_F(MivoSetupProgram, DebugOutputGoesToStandardErrorWhenAskedFor) {
  writeFile(unitDir + "/mivo_neo_srv.service", MIVO_UNIT);
  writeFile(unitDir + "/alpha.service", "[Service]\nDescription=not the unit's\n");

  const Outcome outcome = run({{"MIVO_DEBUG", "1"}});

  EXPECT_EQ(outcome.exitCode, 0);
  // Entries come sorted by name; a unit without a description of its own
  // shows its name.
  EXPECT_NE(outcome.err.find("lpServiceName:alpha\nlpDisplayName:alpha\n"
                             "lpServiceName:mivo_neo_srv\nlpDisplayName:Mivo service\n"),
            std::string::npos)
      << outcome.err;
  EXPECT_NE(outcome.err.find("msiexec /I \"" + medium + "/msi/mivo_setup.msi\"\n"),
            std::string::npos)
      << outcome.err;
  EXPECT_EQ(outcome.out, box(TEXT_UPDATE_WARNING) + RAN_FIRST + box(TEXT_FIRST_PACKAGE_DONE) +
                             RAN_SECOND + box(TEXT_FINISHED_UPDATE));
}

TEST_F(MivoSetupProgram, MissingInstallerEndsAfterTheWarningWithAnError) {
  writeFile(unitDir + "/mivo_neo_srv.service", MIVO_UNIT);
  const std::string emptyBin = tmp / "empty bin";
  fs::create_directories(emptyBin);

  const Outcome outcome = run({{"PATH", emptyBin}});

  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.out, box(TEXT_UPDATE_WARNING));
  EXPECT_NE(outcome.err.find("cannot start msiexec"), std::string::npos) << outcome.err;
  EXPECT_EQ(outcome.calls, "");
}

TEST_F(MivoSetupProgram, ProgramPathBeyondTheBufferRunsNoPackage) {
  std::string deep = tmp.path();
  while (deep.size() <= FILE_NAME_BUFFER) deep += "/" + std::string(200, 'd');
  const std::string deepProgram = placeProgram(deep);

  const Outcome outcome = run({{"MIVO_DEBUG", "1"}}, deepProgram);

  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.calls, "");
  EXPECT_NE(outcome.err.find("longer than the file-name buffer"), std::string::npos) << outcome.err;
}

}  // namespace
}  // namespace MivoSetup
