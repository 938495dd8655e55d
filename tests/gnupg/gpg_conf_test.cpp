// gpg.conf: the keyring lines and the extension line are maintained, every
// other line is kept where it was.
#include "gnupg/gpg_conf.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace fhr {
namespace {

const char kHeader[] =
    "# FH maintains the values for keyring, secret-keyring,\n"
    "# and default-key. If you add or modify values ABOVE these\n"
    "# entries, do so with extreme care. Items added below these\n"
    "# will be deleted.\n"
    "no-greeting\n"
    "no-mdc-warning\n"
    "no-auto-check-trustdb\n"
    "trust-model always\n"
    "no-default-keyring\n";

TEST(GpgConf, FirstWriteGivesTheHeaderThenExtensionAndKeyrings) {
  test::TempDir home;
  EXPECT_FALSE(KeyringsConfigured(home.path()));
  ASSERT_TRUE(WriteGpgConf(home.path(), "/opt/fhr/", "/k/sec ring.skr", "/k/pub.pkr"));
  EXPECT_EQ(home.read("gpg.conf"), std::string(kHeader) +
                                       "load-extension /opt/fhr/idea.dll\n"
                                       "secret-keyring /k/sec ring.skr\n"
                                       "keyring /k/pub.pkr\n");
  EXPECT_TRUE(KeyringsConfigured(home.path()));
  GpgConfKeyrings keyrings;
  ASSERT_TRUE(ReadGpgConf(home.path(), &keyrings));
  EXPECT_EQ(keyrings.secretKeyring, "/k/sec ring.skr");
  EXPECT_EQ(keyrings.publicKeyring, "/k/pub.pkr");
}

TEST(GpgConf, RewriteReplacesFirstLinesOfEachKindAndKeepsTheRest) {
  test::TempDir home;
  home.write("gpg.conf",
             "# mine\n"
             "no-greeting\n"
             "  Keyring /old/first.pkr\n"
             "personal-digest-preferences SHA256\n"
             "LOAD-EXTENSION /old/dir/idea.dll\n"
             "keyring /old/second.pkr\n"
             "load-extension /elsewhere/rndegd\n");
  GpgConfKeyrings keyrings;
  ASSERT_TRUE(ReadGpgConf(home.path(), &keyrings));
  EXPECT_EQ(keyrings.publicKeyring, "/old/second.pkr");  // the last line wins when read
  EXPECT_EQ(keyrings.secretKeyring, "");
  EXPECT_FALSE(KeyringsConfigured(home.path()));

  ASSERT_TRUE(WriteGpgConf(home.path(), "/opt/fhr", "/new/sec.skr", "/new/pub.pkr"));
  EXPECT_EQ(home.read("gpg.conf"),
            "# mine\n"
            "no-greeting\n"
            "keyring /new/pub.pkr\n"
            "personal-digest-preferences SHA256\n"
            "load-extension /opt/fhr/idea.dll\n"
            "keyring /old/second.pkr\n"
            "load-extension /elsewhere/rndegd\n"
            "secret-keyring /new/sec.skr\n");
  EXPECT_TRUE(KeyringsConfigured(home.path()));
}

TEST(GpgConf, UnreadableFileIsNotOverwritten) {
  test::TempDir home;
  home.write("gpg.conf/inside", "a directory where the file should be");
  EXPECT_FALSE(WriteGpgConf(home.path(), "/opt/fhr/", "/s", "/p"));
  GpgConfKeyrings keyrings;
  std::string error;
  EXPECT_FALSE(ReadGpgConf(home.path(), &keyrings, &error));
  EXPECT_FALSE(error.empty());
}

TEST(GpgConf, ExtensionLineFollowsTheProgramDirectory) {
  test::TempDir home;
  test::TempDir app;
  const std::string appDir = app.path() + "/";
  const std::string current = "load-extension " + appDir + "idea.dll";
  struct Case {
    const char* what;
    std::string before;
    std::string after;
  } cases[] = {
      {"moved program", "# c1\n# c2\nno-greeting\nload-extension /old/place/idea.dll\nkeyring /p\n",
       "# c1\n# c2\n" + current + "\nno-greeting\nkeyring /p\n"},
      {"current line in other case", "# c\n" + std::string("LOAD-EXTENSION ") + appDir + "IDEA.DLL\n",
       "# c\nLOAD-EXTENSION " + appDir + "IDEA.DLL\n"},
      {"comments only", "# a\n# b\n", "# a\n# b\n" + current + "\n"},
      {"empty file", "", current + "\n"},
  };
  // Without idea.dll beside the program nothing is touched.
  home.write("gpg.conf", cases[0].before);
  ASSERT_TRUE(RefreshIdeaExtension(home.path(), appDir));
  EXPECT_EQ(home.read("gpg.conf"), cases[0].before);

  app.write("idea.dll", "");
  for (const Case& c : cases) {
    home.write("gpg.conf", c.before);
    ASSERT_TRUE(RefreshIdeaExtension(home.path(), appDir)) << c.what;
    EXPECT_EQ(home.read("gpg.conf"), c.after) << c.what;
  }
  test::TempDir empty;
  ASSERT_TRUE(RefreshIdeaExtension(empty.path(), appDir));  // no gpg.conf: none is made
  EXPECT_EQ(empty.read("gpg.conf"), "");
}

}  // namespace
}  // namespace fhr
