#include "service/Settings.h"

#include <gtest/gtest.h>

#include <Poco/AutoPtr.h>
#include <Poco/Channel.h>
#include <Poco/Logger.h>
#include <Poco/Message.h>
#include <Poco/Util/MapConfiguration.h>

#include <string>
#include <vector>

namespace Pelu {
namespace {

// Collects "<priority> <text>" lines.
class RecordingChannel : public Poco::Channel {
 public:
  void log(const Poco::Message& msg) override {
    lines.push_back(std::to_string(static_cast<int>(msg.getPriority())) + " " + msg.getText());
  }
  std::vector<std::string> lines;
};

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() : channel(new RecordingChannel), config(new Poco::Util::MapConfiguration) {
    logger.setChannel(channel);
    logger.setLevel(Poco::Message::PRIO_TRACE);
  }
  ~SettingsTest() override { logger.setChannel(nullptr); }

  Poco::Logger& logger = Poco::Logger::get("SettingsTest");
  Poco::AutoPtr<RecordingChannel> channel;
  Poco::AutoPtr<Poco::Util::MapConfiguration> config;
};

TEST_F(SettingsTest, IntegerSettingTakesDefaultWhenMissingMalformedOrOutOfRange) {
  struct Row {
    const char* value;  // nullptr: key missing
    int min, max, def;
    int expected;
    bool warns;
  } rows[] = {
      {nullptr, 1, 32, 3, 3, false}, {"5", 1, 32, 3, 5, false},   {"32", 1, 32, 3, 32, false},
      {"1", 1, 32, 3, 1, false},     {"0", 1, 32, 3, 3, false},   {"33", 1, 32, 3, 3, false},
      {"-4", 1, 32, 3, 3, false},    {"5", 10, 1440, 10, 10, false}, {"abc", 1, 36000, 1, 1, true},
      {"12abc", 1, 32, 3, 3, true},  {"", 1, 32, 3, 3, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value ? row.value : "(missing)");
    channel->lines.clear();
    config->clear();
    if (row.value) config->setString("synctask.x", row.value);
    EXPECT_EQ(row.expected, readIntSetting(*config, logger, "synctask.x", row.def, row.min, row.max));
    ASSERT_EQ(row.warns ? 2u : 1u, channel->lines.size());
    if (row.warns) {
      EXPECT_EQ('4', channel->lines[0][0]);  // the warning comes first
    }
    EXPECT_EQ("6 synctask.x = " + std::to_string(row.expected), channel->lines.back());
  }
}

TEST_F(SettingsTest, BooleanSettingFollowsFrameworkWordsAndWarnsOnGarbage) {
  struct Row {
    const char* value;
    bool def;
    bool expected;
    bool warns;
  } rows[] = {
      {nullptr, true, true, false}, {"false", true, false, false}, {"0", true, false, false},
      {"2", false, true, false},    {"yes", false, true, false},   {"off", true, false, false},
      {"maybe", true, true, true},  {"maybe", false, false, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value ? row.value : "(missing)");
    channel->lines.clear();
    config->clear();
    if (row.value) config->setString("synctask.b", row.value);
    EXPECT_EQ(row.expected, readBoolSetting(*config, logger, "synctask.b", row.def));
    ASSERT_EQ(row.warns ? 2u : 1u, channel->lines.size());
    EXPECT_EQ(std::string("6 synctask.b = ") + (row.expected ? "true" : "false"), channel->lines.back());
  }
}

}  // namespace
}  // namespace Pelu
