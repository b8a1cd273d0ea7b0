// The decision sequence of mivo_setup against a scripted system layer: which
// messages appear in which order, which packages run, and how the service
// probe reads the enumeration.

#include "setup/SetupSequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace MivoSetup {
namespace {

// A scripted system layer. Enumeration answers are handed out in order, the
// last one repeating; installer results are looked up by package path (exit
// code 0 when not listed). Messages and installer runs are recorded in one
// event list so their order can be checked.
class FakePlatform : public SetupPlatform {
 public:
  bool managerOpens = true;
  std::vector<ServicePage> pages{ServicePage{}};
  std::string program = "/media/cdrom/mivo_setup";
  std::map<std::string, std::optional<int>> installerResults;

  std::vector<std::string> events;
  std::string debug;
  int managersOpened = 0;
  int managersClosed = 0;
  int enumerations = 0;

  std::unique_ptr<ServiceControlManager> openServiceManager() override {
    if (!managerOpens) return nullptr;
    ++managersOpened;
    return std::make_unique<Manager>(*this);
  }

  std::string programPath() override { return program; }

  std::optional<int> runInstaller(const std::string& packagePath) override {
    events.push_back("install " + packagePath);
    auto it = installerResults.find(packagePath);
    return it == installerResults.end() ? std::optional<int>(0) : it->second;
  }

  void showMessage(const std::string& caption, const std::string& text, MessageIcon icon) override {
    events.push_back(caption + (icon == MessageIcon::WARNING ? " warning: " : " information: ") + text);
  }

  void debugOutput(const std::string& text) override { debug += text; }

 private:
  class Manager : public ServiceControlManager {
   public:
    explicit Manager(FakePlatform& owner) : owner(owner) {}
    ~Manager() override { ++owner.managersClosed; }
    ServicePage enumerateServices() override {
      const std::size_t index = std::min<std::size_t>(owner.enumerations, owner.pages.size() - 1);
      ++owner.enumerations;
      return owner.pages[index];
    }

   private:
    FakePlatform& owner;
  };
};

ServicePage page(EnumerationStatus status, std::vector<ServiceEntry> services) {
  return ServicePage{std::move(services), status};
}

const EnumerationStatus COMPLETE = EnumerationStatus::COMPLETE;
const EnumerationStatus MORE_DATA = EnumerationStatus::MORE_DATA;
const EnumerationStatus FAILED = EnumerationStatus::FAILED;

const ServiceEntry SPOOLER{"Spooler", "Print Spooler"};
const ServiceEntry MIVO{"mivo_neo_srv", "Mivo service"};

std::string warning(const char* text) { return std::string("Mivo warning: ") + text; }
std::string information(const char* text) { return std::string("Mivo information: ") + text; }

const std::string FIRST = "install /media/cdrom/msi/mivo_setup.msi";
const std::string SECOND = "install /media/cdrom/msi/setup2.msi";

TEST(SetupSequence, MessagesAndPackagesFollowTheOutcomes) {
  const std::optional<int> OK = 0;
  const std::optional<int> CANCELLED = 1602;
  const std::optional<int> NOT_STARTED = std::nullopt;
  struct Case {
    bool found;
    std::optional<int> first;
    std::optional<int> second;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {true, OK, OK,
       {warning(TEXT_UPDATE_WARNING), FIRST, information(TEXT_FIRST_PACKAGE_DONE), SECOND,
        information(TEXT_FINISHED_UPDATE)}},
      {true, OK, CANCELLED,
       {warning(TEXT_UPDATE_WARNING), FIRST, information(TEXT_FIRST_PACKAGE_DONE), SECOND}},
      {true, CANCELLED, OK, {warning(TEXT_UPDATE_WARNING), FIRST}},
      {true, CANCELLED, CANCELLED, {warning(TEXT_UPDATE_WARNING), FIRST}},
      {false, OK, OK,
       {FIRST, information(TEXT_FIRST_PACKAGE_DONE), SECOND, information(TEXT_FINISHED_NEW)}},
      {false, OK, CANCELLED, {FIRST, information(TEXT_FIRST_PACKAGE_DONE), SECOND}},
      {false, CANCELLED, OK, {FIRST}},
      {false, CANCELLED, CANCELLED, {FIRST}},
      // An installer that cannot be started is a failed package.
      {true, NOT_STARTED, OK, {warning(TEXT_UPDATE_WARNING), FIRST}},
      {false, OK, NOT_STARTED, {FIRST, information(TEXT_FIRST_PACKAGE_DONE), SECOND}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "found=" << c.found << " first=" << c.first.value_or(-1)
                                      << " second=" << c.second.value_or(-1));
    FakePlatform platform;
    platform.pages = {page(COMPLETE, c.found ? std::vector<ServiceEntry>{SPOOLER, MIVO}
                                             : std::vector<ServiceEntry>{SPOOLER})};
    platform.installerResults["/media/cdrom/msi/mivo_setup.msi"] = c.first;
    platform.installerResults["/media/cdrom/msi/setup2.msi"] = c.second;

    EXPECT_EQ(runSetup(platform), 0);
    EXPECT_EQ(platform.events, c.expected);
  }
}

TEST(SetupSequence, ManagerThatCannotBeOpenedCountsAsNewInstallation) {
  FakePlatform platform;
  platform.managerOpens = false;
  platform.pages = {page(COMPLETE, {MIVO})};

  EXPECT_EQ(runSetup(platform), 0);
  EXPECT_EQ(platform.events, (std::vector<std::string>{FIRST, information(TEXT_FIRST_PACKAGE_DONE),
                                                        SECOND, information(TEXT_FINISHED_NEW)}));
  EXPECT_EQ(platform.enumerations, 0);
}

TEST(ServiceInstalled, ReadsEveryAnswerUntilTheListIsComplete) {
  struct Case {
    const char* name;
    std::vector<ServicePage> pages;
    bool expected;
    int enumerations;
  };
  std::vector<ServicePage> settlesTooLate(MAX_ENUMERATION_ROUNDS, page(MORE_DATA, {SPOOLER}));
  settlesTooLate.push_back(page(COMPLETE, {MIVO}));
  const Case cases[] = {
      {"found in a complete list", {page(COMPLETE, {SPOOLER, MIVO})}, true, 1},
      {"absent from a complete list", {page(COMPLETE, {SPOOLER})}, false, 1},
      {"no services at all", {page(COMPLETE, {})}, false, 1},
      {"on the second answer",
       {page(MORE_DATA, {SPOOLER}), page(COMPLETE, {SPOOLER, MIVO})}, true, 2},
      {"more data twice, then found",
       {page(MORE_DATA, {SPOOLER}), page(MORE_DATA, {SPOOLER}), page(COMPLETE, {SPOOLER, MIVO})},
       true, 3},
      {"more data twice, then absent",
       {page(MORE_DATA, {SPOOLER}), page(MORE_DATA, {SPOOLER}), page(COMPLETE, {SPOOLER})}, false, 3},
      {"found in an answer that asks for more", {page(MORE_DATA, {MIVO})}, true, 1},
      {"enumeration failed", {page(FAILED, {})}, false, 1},
      {"failed after more data", {page(MORE_DATA, {SPOOLER}), page(FAILED, {})}, false, 2},
      {"only the display name matches", {page(COMPLETE, {{"MivoSrv", "mivo_neo_srv"}})}, false, 1},
      {"letter case differs",
       {page(COMPLETE, {{"Mivo_Neo_Srv", "Mivo service"}, {"MIVO_NEO_SRV", "Mivo service"}})}, false, 1},
      {"longer or shorter names",
       {page(COMPLETE, {{"mivo_neo_srv2", "x"}, {"mivo_neo_sr", "x"}, {" mivo_neo_srv", "x"}})},
       false, 1},
      {"list that never settles", {page(MORE_DATA, {SPOOLER})}, false, MAX_ENUMERATION_ROUNDS},
      {"service appears only after the last round", settlesTooLate, false, MAX_ENUMERATION_ROUNDS},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatform platform;
    platform.pages = c.pages;

    EXPECT_EQ(service_installed(platform), c.expected);
    EXPECT_EQ(platform.enumerations, c.enumerations);
    // The manager is released on every way out, a match included.
    EXPECT_EQ(platform.managersOpened, 1);
    EXPECT_EQ(platform.managersClosed, 1);
  }
}

TEST(ServiceInstalled, ManagerThatCannotBeOpenedAnswersFalse) {
  FakePlatform platform;
  platform.managerOpens = false;
  platform.pages = {page(COMPLETE, {MIVO})};

  EXPECT_FALSE(service_installed(platform));
  EXPECT_EQ(platform.enumerations, 0);
}

TEST(ServiceInstalled, WritesEachEntryToTheDebugOutputUpToTheMatch) {
  FakePlatform platform;
  platform.pages = {page(COMPLETE, {SPOOLER, MIVO, {"zeta", "Zeta"}})};

  ASSERT_TRUE(service_installed(platform));
  EXPECT_EQ(platform.debug,
            "lpServiceName:Spooler\nlpDisplayName:Print Spooler\n"
            "lpServiceName:mivo_neo_srv\nlpDisplayName:Mivo service\n");
}

TEST(RunPackage, PassesThePackageBesideTheProgramWhole) {
  FakePlatform platform;
  platform.program = "/media/Mivo Disk 1/mivo_setup";

  EXPECT_TRUE(run_package(platform, SECOND_PACKAGE));
  EXPECT_EQ(platform.events,
            std::vector<std::string>{"install /media/Mivo Disk 1/msi/setup2.msi"});
  EXPECT_EQ(installerParameters("/media/Mivo Disk 1/msi/setup2.msi"),
            "/I \"/media/Mivo Disk 1/msi/setup2.msi\"");
}

TEST(RunPackage, SucceedsOnlyOnExitCodeZero) {
  const std::optional<int> results[] = {0, 1, 1602, 3010, -1, std::nullopt};
  for (const std::optional<int>& result : results) {
    SCOPED_TRACE(::testing::Message() << "installer result " << (result ? std::to_string(*result)
                                                                       : "not started"));
    FakePlatform platform;
    platform.installerResults["/media/cdrom/msi/mivo_setup.msi"] = result;
    EXPECT_EQ(run_package(platform, FIRST_PACKAGE), result == 0);
  }
}

TEST(RunPackage, PathsThatDoNotFitTheBufferAreNeverTruncated) {
  // "/" + folder + "/" + "msi/mivo_setup.msi" is the package path; the
  // parameter string adds five bytes: /I "…".
  const std::string packageTail = "/msi/mivo_setup.msi";
  auto programIn = [](std::size_t folderLength) {
    return "/" + std::string(folderLength, 'd') + "/mivo_setup";
  };
  const std::size_t fittingFolder = FILE_NAME_BUFFER - 1 - 5 - 1 - packageTail.size();
  struct Case {
    const char* name;
    std::string program;
    bool runs;
  };
  const Case cases[] = {
      {"parameter string of 1023 bytes fits", programIn(fittingFolder), true},
      {"parameter string of 1024 bytes", programIn(fittingFolder + 1), false},
      {"program path of 1024 bytes", "/" + std::string(FILE_NAME_BUFFER - 12, 'd') + "/mivo_setup",
       false},
      {"program path far beyond the buffer", programIn(5000), false},
      {"program path unknown", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatform platform;
    platform.program = c.program;

    EXPECT_EQ(run_package(platform, FIRST_PACKAGE), c.runs);
    if (c.runs) {
      const std::string expected =
          c.program.substr(0, c.program.rfind('/')) + packageTail;
      ASSERT_EQ(platform.events, std::vector<std::string>{"install " + expected});
      EXPECT_EQ(installerParameters(expected).size(), FILE_NAME_BUFFER - 1);
    } else {
      EXPECT_TRUE(platform.events.empty());
    }
  }
}

}  // namespace
}  // namespace MivoSetup
