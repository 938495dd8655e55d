// How the data directory is chosen: the command line, the environment,
// datadir.ini beside the program, then where the program is installed.
#include "core/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>

#include "support/temp_dir.h"

namespace fhr {
namespace {

struct PathCase {
  const char* name;
  const char* program;  // "{T}" is the test's temporary directory
  std::map<std::string, std::string> env;
  const char* dataDirIni;  // contents of datadir.ini beside the program, or null
  const char* option;      // --data-dir, or null
  DataDirSource source;
  const char* dataDir;  // expected; null when resolution must fail
  const char* warning;  // expected warning text, or null
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name; }

std::string Expand(std::string text, const std::string& root) {
  for (size_t at; (at = text.find("{T}")) != std::string::npos;) text.replace(at, 3, root);
  return text;
}

class PathRules : public testing::TestWithParam<PathCase> {};

TEST_P(PathRules, ChoosesTheDataDirectory) {
  const PathCase& c = GetParam();
  test::TempDir t;
  mkdir(t.file("prog").c_str(), 0755);
  mkdir(t.file("prog/Data Dir").c_str(), 0755);
  mkdir(t.file("elsewhere").c_str(), 0755);
  std::string program = Expand(c.program, t.path());
  if (program.starts_with(t.path())) t.write(program.substr(t.path().size() + 1), "program");
  if (c.dataDirIni) t.write("prog/datadir.ini", Expand(c.dataDirIni, t.path()));

  PathInputs in;
  in.programPath = program;
  in.getenv = [&](const std::string& name) -> std::optional<std::string> {
    auto it = c.env.find(name);
    if (it == c.env.end()) return std::nullopt;
    return Expand(it->second, t.path());
  };
  if (c.option) in.dataDirOption = Expand(c.option, t.path());

  ResolvedPaths p = ResolvePaths(in);
  EXPECT_EQ(p.appDir, program.substr(0, program.rfind('/') + 1));
  if (c.warning) {
    ASSERT_TRUE(p.warning);
    EXPECT_EQ(p.warning->caption, "ERROR");
    EXPECT_EQ(p.warning->text, c.warning);
  } else {
    EXPECT_FALSE(p.warning) << p.warning->text;
  }
  if (!c.dataDir) {
    EXPECT_TRUE(p.error);
    EXPECT_EQ(p.dataDir, "");
    return;
  }
  ASSERT_FALSE(p.error) << p.error->text;
  std::string expected = Expand(c.dataDir, t.path());
  EXPECT_EQ(p.source, c.source);
  EXPECT_EQ(p.dataDir, expected);
  EXPECT_EQ(p.gnupgHome + "/", expected);
  EXPECT_EQ(p.IniFileName(), expected + "fhr.ini");
  EXPECT_EQ(p.DbFileName(), expected + "fhr.db");
  EXPECT_EQ(p.DbTempFileName(), expected + "fhr.db.tmp");
  struct stat st {};
  ASSERT_EQ(stat(expected.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
}

const char* kMissingIni = "The 'appdatadir' directory specified in datadir.ini doesn't exist!";
using S = DataDirSource;

INSTANTIATE_TEST_SUITE_P(
    Cases, PathRules,
    testing::Values(
        PathCase{"PortableKeepsEverythingBesideTheProgram", "{T}/prog/fhr", {}, nullptr, nullptr, S::Portable,
                 "{T}/prog/", nullptr},
        PathCase{"OptionWinsOverEnvironmentAndIni", "{T}/prog/fhr", {{"FHR_DATA_DIR", "{T}/env"}},
                 "[settings]\nappdatadir={T}/elsewhere/\n", "{T}/opt-dir", S::Option, "{T}/opt-dir/", nullptr},
        PathCase{"EnvironmentWinsOverIni", "{T}/prog/fhr", {{"FHR_DATA_DIR", "{T}/env/deeper"}},
                 "[settings]\nappdatadir={T}/elsewhere/\n", nullptr, S::Environment, "{T}/env/deeper/", nullptr},
        PathCase{"EmptyEnvironmentIsIgnored", "{T}/prog/fhr", {{"FHR_DATA_DIR", ""}}, nullptr, nullptr,
                 S::Portable, "{T}/prog/", nullptr},
        PathCase{"IniNamesAnExistingDirectory", "{T}/prog/fhr", {}, "[Settings]\nAppDataDir={T}/elsewhere/\n",
                 nullptr, S::DataDirIni, "{T}/elsewhere/", nullptr},
        // Without a trailing separator the files still go inside the
        // directory, never beside it as "elsewherefhr.ini".
        PathCase{"IniWithoutTrailingSeparator", "{T}/prog/fhr", {}, "[settings]\nappdatadir={T}/elsewhere\n",
                 nullptr, S::DataDirIni, "{T}/elsewhere/", nullptr},
        PathCase{"IniRelativeToTheProgram", "{T}/prog/fhr", {}, "[settings]\nappdatadir=Data Dir\n", nullptr,
                 S::DataDirIni, "{T}/prog/Data Dir/", nullptr},
        PathCase{"IniNamingAMissingDirectoryWarnsAndFallsBack", "{T}/prog/fhr", {},
                 "[settings]\nappdatadir={T}/missing/\n", nullptr, S::Portable, "{T}/prog/", kMissingIni},
        PathCase{"IniWithoutTheValueWarns", "{T}/prog/fhr", {}, "[settings]\nother=1\n", nullptr, S::Portable,
                 "{T}/prog/", kMissingIni},
        PathCase{"InstalledUnderUsrUsesXdgDataHome", "/usr/lib/fhr/fhr", {{"XDG_DATA_HOME", "{T}/xdg"}}, nullptr,
                 nullptr, S::Installed, "{T}/xdg/fernhill/fhl/", nullptr},
        PathCase{"InstalledUnderOptDefaultsToHome", "/opt/fhr/fhr", {{"HOME", "{T}/home"}}, nullptr, nullptr,
                 S::Installed, "{T}/home/.local/share/fernhill/fhl/", nullptr},
        PathCase{"RelativeXdgDataHomeIsIgnored", "/usr/bin/fhr", {{"XDG_DATA_HOME", "rel"}, {"HOME", "{T}/h"}},
                 nullptr, nullptr, S::Installed, "{T}/h/.local/share/fernhill/fhl/", nullptr},
        PathCase{"InstalledWithoutHomeFails", "/usr/bin/fhr", {}, nullptr, nullptr, S::Installed, nullptr,
                 nullptr},
        PathCase{"UsrPrefixMustBeAWholeFolder", "{T}/usrx/fhr", {}, nullptr, nullptr, S::Portable, "{T}/usrx/",
                 nullptr},
        PathCase{"UncreatableDataDirFails", "{T}/prog/fhr", {{"FHR_DATA_DIR", "{T}/prog/fhr/sub"}}, nullptr,
                 nullptr, S::Environment, nullptr, nullptr}),
    [](const testing::TestParamInfo<PathCase>& row) { return std::string(row.param.name); });

TEST(Paths, NewDataDirectoryIsPrivate) {
  test::TempDir t;
  PathInputs in;
  in.programPath = "/usr/bin/fhr";
  in.getenv = [&](const std::string& name) -> std::optional<std::string> {
    if (name == "XDG_DATA_HOME") return t.file("a/b");
    return std::nullopt;
  };
  ResolvedPaths p = ResolvePaths(in);
  ASSERT_FALSE(p.error);
  for (const char* dir : {"a", "a/b/fernhill", "a/b/fernhill/fhl"}) {
    struct stat st {};
    ASSERT_EQ(stat(t.file(dir).c_str(), &st), 0) << dir;
    EXPECT_EQ(st.st_mode & 0777, 0700u) << dir;
  }
}

TEST(Paths, ApplyEnvironmentExportsGnupgHomeAndLanguage) {
  ResolvedPaths p;
  p.dataDir = "/some where/";
  p.gnupgHome = "/some where";
  EXPECT_FALSE(ApplyEnvironment(p));
  EXPECT_STREQ(getenv("GNUPGHOME"), "/some where");
  EXPECT_STREQ(getenv("LANGUAGE"), "en");
}

TEST(Paths, IncludeTrailingSeparator) {
  EXPECT_EQ(IncludeTrailingSeparator(""), "");
  EXPECT_EQ(IncludeTrailingSeparator("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingSeparator("/a/"), "/a/");
}

}  // namespace
}  // namespace fhr
