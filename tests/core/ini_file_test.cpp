#include "core/ini_file.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "core/ini_document.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

// A settings file as a user might have edited it, with comments, an unknown
// line, a duplicate name and a [gpg] section.
constexpr std::string_view kEdited =
    "; written by hand\n"
    "\n"
    "[Settings]\n"
    "CheckMailMins = 45\n"
    "account=home\n"
    "  ; indented comment\n"
    "not a setting\n"
    "account=second\n"
    "unknownkey=kept\n"
    "\n"
    "[gpg]\n"
    "decrypt= --batch \"%in%\"  \n"
    "# hash=comment\n"
    "[other]\n"
    "key=a=b=c\n";

std::string WithCrLf(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

struct Lookup {
  std::string_view section, name;
  std::optional<std::string> expected;
};

TEST(IniDocument, LooksUpLikeAnIniReaderWithLfAndCrLf) {
  const Lookup cases[] = {
      {"settings", "checkmailmins", "45"},
      {"SETTINGS", "CheckMailMINS", "45"},
      {"settings", "account", "home"},  // first of two wins
      {"settings", "unknownkey", "kept"},
      {"gpg", "decrypt", "--batch \"%in%\""},
      {"gpg", "# hash", std::nullopt},
      {"settings", "not a setting", std::nullopt},
      {"settings", "; indented comment", std::nullopt},
      {"other", "key", "a=b=c"},
      {"settings", "decrypt", std::nullopt},
      {"missing", "account", std::nullopt},
  };
  for (const std::string& text : {std::string(kEdited), WithCrLf(kEdited)}) {
    const IniDocument doc = IniDocument::Parse(text);
    EXPECT_EQ(doc.Serialize(), text);
    for (const auto& c : cases) {
      EXPECT_EQ(doc.Read(c.section, c.name), c.expected) << c.section << "/" << c.name;
    }
    EXPECT_EQ(doc.Sections(), (std::vector<std::string>{"Settings", "gpg", "other"}));
    EXPECT_EQ(doc.Names("settings"),
              (std::vector<std::string>{"CheckMailMins", "account", "unknownkey"}));
    EXPECT_EQ(doc.ReadSection("settings"),
              (std::vector<std::string>{"CheckMailMins=45", "account=home", "unknownkey=kept"}));
  }
}

TEST(IniDocument, ChangingOneValueKeepsEveryOtherByte) {
  for (const bool crlf : {false, true}) {
    const auto text = [&](std::string_view t) { return crlf ? WithCrLf(t) : std::string(t); };
    IniDocument doc = IniDocument::Parse(text(kEdited));
    ASSERT_TRUE(doc.Write("settings", "checkmailmins", "60"));
    ASSERT_TRUE(doc.Write("gpg", "DECRYPT", "--other"));
    std::string expected(kEdited);
    expected.replace(expected.find("45"), 2, "60");
    expected.replace(expected.find("--batch \"%in%\"  "), 16, "--other");
    EXPECT_EQ(doc.Serialize(), text(expected));
  }
}

struct WriteCase {
  const char* why;
  std::string_view before, section, name, value, after;
};

TEST(IniDocument, PlacesNewNamesAndSections) {
  const WriteCase cases[] = {
      {"end of its section, before the blank line", "[a]\nx=1\n\n[b]\ny=2\n", "a", "z", "3",
       "[a]\nx=1\nz=3\n\n[b]\ny=2\n"},
      {"after a trailing comment of the section", "[a]\nx=1\n;note\n[b]\n", "A", "z", "3",
       "[a]\nx=1\n;note\nz=3\n[b]\n"},
      {"empty section", "[a]\n\n[b]\n", "a", "z", "3", "[a]\nz=3\n\n[b]\n"},
      {"new section at the end", "[a]\nx=1\n", "gpg", "decrypt", "--x",
       "[a]\nx=1\n[gpg]\ndecrypt=--x\n"},
      {"no line end at the end of the file", "[a]\nx=1", "a", "y", "2", "[a]\nx=1\ny=2\n"},
      {"empty file", "", "settings", "usetray", "1", "[settings]\nusetray=1\n"},
      {"CR LF file gets CR LF lines", "[a]\r\nx=1\r\n", "b", "y", "2",
       "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
      {"first of duplicate sections", "[a]\nx=1\n[b]\n[A]\ny=2\n", "a", "z", "3",
       "[a]\nx=1\nz=3\n[b]\n[A]\ny=2\n"},
      {"value with = and blanks inside", "[a]\n", "a", "k", "p=q r", "[a]\nk=p=q r\n"},
      {"changed line keeps its spelling", "[a]\n  Key =  old\n", "a", "key", "",
       "[a]\n  Key =  \n"},
  };
  for (const auto& c : cases) {
    IniDocument doc = IniDocument::Parse(c.before);
    ASSERT_TRUE(doc.Write(c.section, c.name, c.value)) << c.why;
    EXPECT_EQ(doc.Serialize(), c.after) << c.why;
    EXPECT_EQ(IniDocument::Parse(doc.Serialize()).Read(c.section, c.name), std::string(c.value))
        << c.why;
  }
}

TEST(IniDocument, RefusesWritesThatWouldNotReadBack) {
  const std::pair<std::string_view, std::string_view> bad_names[] = {
      {"a", ""}, {"a", "x=y"}, {"a", "x\ny"}, {"a", "[x"}, {"a", ";x"}, {"a", " x"},
      {"", "x"}, {"a]", "x"}, {"a\r", "x"},
  };
  IniDocument doc = IniDocument::Parse("[a]\nx=1\n");
  for (const auto& [section, name] : bad_names) {
    EXPECT_FALSE(doc.Write(section, name, "v")) << section << "/" << name;
  }
  // A line break in a value would plant lines of its own in the file.
  EXPECT_FALSE(doc.Write("a", "x", "1\n[gpg]\ndecrypt=evil"));
  EXPECT_FALSE(doc.Write("a", "x", std::string_view("1\0", 2)));
  EXPECT_EQ(doc.Serialize(), "[a]\nx=1\n");
}

TEST(IniDocument, EraseRemovesEveryCopyOfTheName) {
  IniDocument doc = IniDocument::Parse("[a]\nx=1\n;c\nX=2\ny=3\n[b]\nx=4\n");
  EXPECT_TRUE(doc.Erase("A", "x"));
  EXPECT_EQ(doc.Serialize(), "[a]\n;c\ny=3\n[b]\nx=4\n");
  EXPECT_FALSE(doc.Erase("a", "x"));
}

TEST(IniDocument, ByteOrderMarkAndStrayCarriageReturns) {
  // A byte order mark opens only the first line.
  IniDocument doc = IniDocument::Parse("\xEF\xBB\xBF[settings]\nusetray=1\n");
  EXPECT_EQ(doc.Read("settings", "usetray"), "1");
  ASSERT_TRUE(doc.Write("x", "\xEF\xBB\xBFname", "v"));
  EXPECT_EQ(IniDocument::Parse(doc.Serialize()).Read("x", "\xEF\xBB\xBFname"), "v");

  // A CR at the very end reads the same once a later write ends its line.
  doc = IniDocument::Parse("[gpg]\nx=1\r");
  EXPECT_EQ(doc.Read("gpg", "x"), "1");
  ASSERT_TRUE(doc.Write("settings", "y", "2"));
  EXPECT_EQ(doc.Serialize(), "[gpg]\nx=1\r\n[settings]\ny=2\n");
  EXPECT_EQ(IniDocument::Parse(doc.Serialize()).Read("gpg", "x"), "1");
}

TEST(IniDocument, LongValuesAreCutOnRead) {
  const std::string value(3000, 'v');
  IniDocument doc = IniDocument::Parse("[a]\nx=" + value + "\n");
  EXPECT_EQ(doc.Read("a", "x"), value.substr(0, kIniValueLimit));
}

TEST(IniFile, MissingFileReadsNothingAndFirstWriteCreatesIt) {
  test::TempDir dir;
  IniFile file(dir.file("fhr.ini"));
  EXPECT_EQ(file.Read("settings", "usetray"), std::nullopt);
  EXPECT_TRUE(file.Sections().empty());
  EXPECT_TRUE(file.Erase("settings", "usetray"));

  std::string error;
  ASSERT_TRUE(file.Write("settings", "usetray", "1", &error)) << error;
  EXPECT_EQ(dir.read("fhr.ini"), "[settings]\nusetray=1\n");
  struct stat st {};
  ASSERT_EQ(::stat(file.path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(file.Read("Settings", "UseTray"), "1");
}

TEST(IniFile, EveryCallSeesChangesMadeByOthers) {
  test::TempDir dir;
  dir.write("fhr.ini", std::string(kEdited));
  IniFile file(dir.file("fhr.ini"));
  EXPECT_EQ(file.Read("settings", "account"), "home");
  dir.write("fhr.ini", "[settings]\naccount=work\n");
  EXPECT_EQ(file.Read("settings", "account"), "work");
}

TEST(IniFile, WriteAndEraseKeepTheRestOfTheFile) {
  test::TempDir dir;
  dir.write("fhr.ini", std::string(kEdited));
  IniFile file(dir.file("fhr.ini"));
  ASSERT_TRUE(file.Write("settings", "unknownkey", "changed"));
  ASSERT_TRUE(file.Erase("other", "key"));
  std::string expected(kEdited);
  expected.replace(expected.find("kept"), 4, "changed");
  expected.erase(expected.find("key=a=b=c\n"));
  EXPECT_EQ(dir.read("fhr.ini"), expected);
}

// Starting afresh over a file that exists but cannot be read would throw
// away every setting in it.
TEST(IniFile, UnreadableFileIsNotOverwritten) {
  test::TempDir dir;
  dir.write("fhr.ini/inside", "x");
  IniFile file(dir.file("fhr.ini"));
  std::string error;
  EXPECT_FALSE(file.Write("settings", "usetray", "1", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(dir.read("fhr.ini/inside"), "x");
}

}  // namespace
}  // namespace fhr
