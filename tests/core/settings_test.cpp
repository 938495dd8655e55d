#include "core/settings.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "core/integer_text.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void Store(std::string_view name, std::string_view value) {
    dir_.write("fhr.ini", "[settings]\n" + std::string(name) + "=" + std::string(value) + "\n");
  }
  test::TempDir dir_;
  Settings settings_{dir_.file("fhr.ini")};
};

TEST_F(SettingsTest, MissingFileGivesEveryDefaultAndIsNotCreated) {
  for (const auto& entry : SettingsCatalog()) {
    const std::string name(entry.name);
    switch (entry.type) {
      case SettingType::kFlag:
        EXPECT_EQ(settings_.Flag(name), entry.fallback == "1") << name;
        break;
      case SettingType::kInteger:
        EXPECT_EQ(settings_.Int(name), ParseInteger(entry.fallback)) << name;
        break;
      default:
        EXPECT_EQ(settings_.Text(name), entry.fallback) << name;
    }
  }
  EXPECT_EQ(settings_.Int("checkmailmins"), 30);
  EXPECT_EQ(settings_.Int("loglines"), 1000);
  EXPECT_TRUE(settings_.Flag("fewerheaders"));
  EXPECT_TRUE(settings_.Flag("notifyfhl"));
  EXPECT_FALSE(settings_.Flag("usetray"));
  EXPECT_EQ(settings_.Text("account"), "none");
  EXPECT_EQ(settings_.Text("newsgroup"), "alt.anonymous.messages");
  EXPECT_EQ(settings_.Text("editorfont"), "Courier New,10,r,0");
  EXPECT_EQ(settings_.Text("dontshow"), "");
  EXPECT_FALSE(std::filesystem::exists(dir_.file("fhr.ini")));
}

TEST_F(SettingsTest, IntegersAreParsedAndClampedIntoTheirRange) {
  struct Case {
    std::string_view name, stored;
    int expected;
  };
  const Case cases[] = {
      {"checkmailmins", "1", 5},        {"checkmailmins", "500", 120},
      {"checkmailmins", "45", 45},      {"checkmailmins", " 45 ", 45},
      {"checkmailmins", "$3C", 60},     {"checkmailmins", "0x3c", 60},
      {"checkmailmins", "-7", 5},       {"checkmailmins", "abc", 30},
      {"checkmailmins", "", 30},        {"checkmailmins", "45min", 30},
      {"loglines", "6000", 5000},       {"loglines", "-1", 0},
      {"loglines", "0", 0},             {"nntptimeout", "5", 10},
      {"nntptimeout", "901", 900},      {"cachemins", "99999999999", 0},
  };
  for (const auto& c : cases) {
    Store(c.name, c.stored);
    EXPECT_EQ(settings_.Int(c.name), c.expected) << c.name << "=" << c.stored;
  }
}

TEST_F(SettingsTest, FlagsAreTrueForAnyNumberButZero) {
  struct Case {
    std::string_view name, stored;
    bool expected;
  };
  const Case cases[] = {
      {"usetray", "1", true},       {"usetray", "2", true},        {"usetray", "-1", true},
      {"usetray", "0", false},      {"usetray", "0x0", false},     {"usetray", "yes", false},
      {"fewerheaders", "0", false}, {"fewerheaders", "yes", true}, {"fewerheaders", "", true},
      {"IGNORECKT", "1", true},     {"ignoreckt", "1", true},
  };
  for (const auto& c : cases) {
    Store(c.name, c.stored);
    EXPECT_EQ(settings_.Flag(c.name), c.expected) << c.name << "=" << c.stored;
  }
}

TEST_F(SettingsTest, WritersStoreWhatReadersExpect) {
  dir_.write("fhr.ini", "[gpg]\ndecrypt=--custom\n\n[SETTINGS]\n; mine\nUseTray=0\n");
  ASSERT_TRUE(settings_.SetFlag("usetray", true));
  ASSERT_TRUE(settings_.SetInt("loglines", 250));
  ASSERT_TRUE(settings_.SetText("account", "home"));
  EXPECT_EQ(dir_.read("fhr.ini"),
            "[gpg]\ndecrypt=--custom\n\n[SETTINGS]\n; mine\nUseTray=1\nloglines=250\n"
            "account=home\n");
  EXPECT_TRUE(settings_.Flag("usetray"));
  EXPECT_EQ(settings_.Int("loglines"), 250);
  EXPECT_EQ(settings_.Text("account"), "home");
}

TEST_F(SettingsTest, OtherSectionsGoThroughReadAndWrite) {
  EXPECT_EQ(settings_.Read(kCipherSuitesSection, "nntp", "DEFAULT"), "DEFAULT");
  ASSERT_TRUE(settings_.Write(kCipherSuitesSection, "nntp", "HIGH:!aNULL"));
  ASSERT_TRUE(settings_.Write(kGpgSection, "decrypt", "--batch %in%"));
  EXPECT_EQ(settings_.Read("SSLCipherSuites", "NNTP", "DEFAULT"), "HIGH:!aNULL");
  EXPECT_EQ(settings_.Read(kGpgSection, "decrypt"), "--batch %in%");
  EXPECT_EQ(settings_.file().Names(kGpgSection), std::vector<std::string>{"decrypt"});
}

TEST(IntegerText, ReadsDecimalAndHexadecimal) {
  struct Case {
    std::string_view text;
    std::optional<int> expected;
  };
  const Case cases[] = {
      {"0", 0},
      {"+12", 12},
      {"-12", -12},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", std::nullopt},
      {"$ff", 255},
      {"0XFF", 255},
      {"-$10", -16},
      {"$FFFFFFFF", -1},
      {"$100000000", std::nullopt},
      {"", std::nullopt},
      {"$", std::nullopt},
      {"0x", std::nullopt},
      {"--1", std::nullopt},
      {"-+1", std::nullopt},
      {"$-1", std::nullopt},
      {"1 2", std::nullopt},
      {"1.5", std::nullopt},
      {"\t7 ", 7},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseInteger(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace fhr
