// The real mivo_srv started as a process in a temporary home.

#include "service/PeluServer.h"

#include "tests/support/ServiceHome.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <csignal>

namespace fs = boost::filesystem;
using mivo::test::ServiceHome;

namespace {

constexpr auto kStartTimeout = std::chrono::seconds(30);

// The framework's console channel writes to standard error.
bool outputHas(mivo::test::ChildProcess& p, const std::string& text) {
  return p.err().find(text) != std::string::npos;
}

TEST(PeluServerProcess, HelpPrintsOptionsAndTouchesNothing) {
  ServiceHome home(MIVO_SRV_PATH);
  home.configure();
  std::string out;
  // Options after the help option are not processed: no pid file appears.
  std::string pidFile = home.temp() / "mivo.pid";
  auto p = home.start({"--help", "--pidfile=" + pidFile});
  EXPECT_EQ(0, p->wait()) << p->err();
  out = p->out();
  EXPECT_NE(std::string::npos, out.find("usage: mivo_srv OPTIONS")) << out;
  EXPECT_NE(std::string::npos, out.find("Mivo server application")) << out;
  EXPECT_NE(std::string::npos, out.find("display help information on command line arguments")) << out;
  std::string log = p->err();
  EXPECT_TRUE(mivo::test::inOrder(log, {"starting up", "shutting down"})) << log;
  EXPECT_EQ(std::string::npos, log.find("application.dir")) << log;
  EXPECT_FALSE(fs::exists(home.bin() + "/mivo_srv.lck"));
  EXPECT_FALSE(fs::exists(home.path("mivo/data")));
  EXPECT_FALSE(fs::exists(pidFile));
}

TEST(PeluServerProcess, StartsAndStopsCleanlyWithItsLinesInOrder) {
  ServiceHome home(MIVO_SRV_PATH);
  home.configure();
  auto p = home.start();
  ASSERT_TRUE(mivo::test::waitFor([&] { return outputHas(*p, "lock file: "); }, kStartTimeout)) << p->err();
  EXPECT_TRUE(fs::exists(home.bin() + "/mivo_srv.lck"));
  p->signal(SIGTERM);
  EXPECT_EQ(0, p->wait()) << p->err();
  std::string out = p->err();
  EXPECT_TRUE(mivo::test::inOrder(out, {
                                           "Information starting up\n",
                                           "Information application.version = 1.02.1\n",
                                           "Debug system.currentDir = ",
                                           "Information application.dir = " + home.home() + "\n",
                                           "Debug check multiple starts\n",
                                           "Debug lock file: " + home.bin() + "/mivo_srv.lck\n",
                                           "Information shutting down\n",
                                       }))
      << out;
  // The lock file stays, empty.
  EXPECT_TRUE(fs::exists(home.bin() + "/mivo_srv.lck"));
  EXPECT_EQ(0u, fs::file_size(home.bin() + "/mivo_srv.lck"));
}

TEST(PeluServerProcess, SecondInstanceIsRefusedWhileTheFirstKeepsRunning) {
  ServiceHome home(MIVO_SRV_PATH);
  home.configure();
  auto first = home.start();
  ASSERT_TRUE(mivo::test::waitFor([&] { return outputHas(*first, "lock file: "); }, kStartTimeout));

  auto second = home.start();
  EXPECT_EQ(69, second->wait());
  EXPECT_NE(std::string::npos, second->err().find("Information detected multiple starts")) << second->err();
  EXPECT_TRUE(first->running());

  first->signal(SIGINT);
  EXPECT_EQ(0, first->wait()) << first->err();
}

TEST(PeluServerProcess, StaleLockFileDoesNotBlock) {
  ServiceHome home(MIVO_SRV_PATH);
  home.configure();
  mivo::test::writeFile(home.bin() + "/mivo_srv.lck", "left over by a crash");
  auto p = home.start();
  ASSERT_TRUE(mivo::test::waitFor([&] { return outputHas(*p, "lock file: "); }, kStartTimeout));
  EXPECT_EQ(0u, fs::file_size(home.bin() + "/mivo_srv.lck"));
  p->signal(SIGTERM);
  EXPECT_EQ(0, p->wait()) << p->err();
  EXPECT_EQ(std::string::npos, p->err().find("detected multiple starts"));
}

TEST(PeluServerProcess, LockFileThatCannotBeCreatedEndsWith73) {
  ServiceHome home(MIVO_SRV_PATH);
  home.configure();
  // A folder in the way: opening it for writing fails even for root.
  fs::create_directories(home.bin() + "/mivo_srv.lck");
  auto p = home.start();
  EXPECT_EQ(73, p->wait());
  EXPECT_NE(std::string::npos,
            p->err().find("Error coundn't open lock file: " + home.bin() + "/mivo_srv.lck"))
      << p->err();
}

TEST(PeluServerProcess, MissingHomeEndsWith70) {
  ServiceHome home(MIVO_SRV_PATH);
  home.configure({{"veviza.home", home.temp() / "no-such-home"}});
  auto p = home.start();
  EXPECT_EQ(70, p->wait());
  EXPECT_FALSE(fs::exists(home.temp() / "no-such-home"));
  EXPECT_NE(std::string::npos, p->err().find("no-such-home")) << p->err();
}

TEST(PeluServerProcess, UnreadableConfigurationEndsWith78) {
  ServiceHome home(MIVO_SRV_PATH);
  home.configure();
  mivo::test::writeFile(home.bin() + "/mivo_srv.xml", "<config><unclosed>");
  auto p = home.start();
  EXPECT_EQ(78, p->wait());
  EXPECT_FALSE(fs::exists(home.bin() + "/mivo_srv.lck"));
}

TEST(PeluServerProcess, VevizaHomeOverridesTheExecutablesFolder) {
  ServiceHome home(MIVO_SRV_PATH);
  std::string other = home.temp() / "other";
  fs::create_directories(other);
  home.configure({{"veviza.home", other + "/"}});
  auto p = home.start();
  ASSERT_TRUE(mivo::test::waitFor([&] { return outputHas(*p, "lock file: "); }, kStartTimeout)) << p->err();
  EXPECT_NE(std::string::npos, p->err().find("application.dir = " + other + "\n")) << p->err();
  EXPECT_TRUE(fs::exists(other + "/mivo/bin/mivo_srv.lck"));
  p->signal(SIGTERM);
  EXPECT_EQ(0, p->wait()) << p->err();
}

TEST(PeluServerProcess, RunsWithoutAnyConfigurationFile) {
  ServiceHome home(MIVO_SRV_PATH);
  auto p = home.start();
  ASSERT_TRUE(mivo::test::waitFor([&] { return fs::exists(home.bin() + "/mivo_srv.lck"); }, kStartTimeout));
  p->signal(SIGTERM);
  EXPECT_EQ(0, p->wait()) << p->err();
}

TEST(HomeFromExecutableDir, TwoLevelsUpWithoutTrailingSeparator) {
  EXPECT_EQ("/app", Pelu::homeFromExecutableDir("/app/mivo/bin/"));
  EXPECT_EQ("/app", Pelu::homeFromExecutableDir("/app/mivo/bin"));
  EXPECT_EQ("/", Pelu::homeFromExecutableDir("/mivo/bin/"));
  EXPECT_EQ("/data", Pelu::withoutTrailingSeparator("/data/"));
  EXPECT_EQ("/data", Pelu::withoutTrailingSeparator("/data"));
  EXPECT_EQ("/", Pelu::withoutTrailingSeparator("/"));
}

}  // namespace
