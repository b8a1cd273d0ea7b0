// The real mivo_srv, started as a process in a temporary home, records its
// start and stop in the system log file of the month.

#include "db/LogService.h"
#include "db/tests/DbTestSupport.h"
#include "tests/support/ServiceHome.h"

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <exception>
#include <string>

namespace {

TEST(ServiceRecords, StartAndStopAreRecordedInTheSystemLogOfTheMonth) {
  mivo::test::ServiceHome home(MIVO_SRV_PATH);
  home.configure();
  const std::string month = Pelu::Service::LogService::monthTexts(std::time(nullptr)).first;
  const std::string file = home.path("mivo/data/log/" + month + "/system");

  auto service = home.start();
  auto rows = [&] {
    try {
      return mivo::test::query(file, "SELECT count(*) FROM log")[0][0];
    } catch (const std::exception&) {
      return std::string("none");  // not created yet, or locked by the writer
    }
  };
  ASSERT_TRUE(mivo::test::waitFor([&] { return rows() == "1"; })) << service->err();
  service->signal(SIGTERM);
  EXPECT_EQ(0, service->wait()) << service->err();

  EXPECT_EQ((mivo::test::Rows{
                {"10", "NULL", "30", "30", "10000001", "service starting up.", "mivo_srv", "NULL", "NULL", "NULL"},
                {"10", "NULL", "30", "30", "10000002", "server shutting down.", "mivo_srv", "NULL", "NULL", "NULL"},
            }),
            mivo::test::query(file,
                              "SELECT status, quote(user_id), type, level, code, message, process, quote(line), "
                              "quote(file), quote(function) FROM log ORDER BY id"));
}

}  // namespace
