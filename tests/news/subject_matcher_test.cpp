// Matching subjects against subject lines: the library binding, the order
// and activity rules, the article form, and the pass matcher giving the
// per-call answer for every candidate.
#include <unistd.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "news/esub.h"
#include "news/hsub.h"
#include "news/subject_library.h"
#include "news/subject_line.h"
#include "news/subject_matcher.h"
#include "support/scripted_msgdialog.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

const std::string kAppDir = FHR_BIN_DIR "/";

std::string Line(const std::string& subno, bool active, bool esub, const std::string& subject,
                 const std::string& ephrase = "") {
  SubjectLine line;
  line.subno = subno;
  line.active = active;
  line.esub = esub;
  line.subject = subject;
  line.ephrase = ephrase;
  line.keyid = "0x12345678";
  return SubjectLineText(line);
}

class SubjectMatching : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoadSubjectLibrary(kAppDir)); }
};

TEST(SubjectLibrary, LoadFailuresAndMissingFile) {
  UnloadSubjectLibrary();
  test::TempDir dir;
  {
    test::ScriptedMsgDialog dialogs;
    EXPECT_FALSE(LoadSubjectLibrary(dir.path() + "/"));  // no file: no message
    EXPECT_TRUE(dialogs.boxes().empty());
    dir.write("libhidtag32.so", "not a library");
    EXPECT_FALSE(LoadSubjectLibrary(dir.path() + "/"));
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_EQ(dialogs.boxes()[0].kind, MsgKind::Error);
    const std::string text = dialogs.texts()[0];
    EXPECT_EQ(text.rfind("Failed to load the library, libhidtag32.so. The error reported was:   \n", 0), 0u) << text;
    EXPECT_NE(text.find("   \nSorry, I'm quitting!"), std::string::npos) << text;

    // A real library that is not ours: refused at load, not at the first test.
    test::TempDir other;
    ASSERT_EQ(symlink("/lib/x86_64-linux-gnu/libgcrypt.so.20", other.file("libhidtag32.so").c_str()), 0);
    EXPECT_FALSE(LoadSubjectLibrary(other.path() + "/"));
    ASSERT_EQ(dialogs.boxes().size(), 2u);
    EXPECT_NE(dialogs.texts()[1].find("does not provide htTestSubject"), std::string::npos) << dialogs.texts()[1];
  }
  EXPECT_FALSE(SubjectLibraryLoaded());
  EXPECT_FALSE(LibraryTestSubject(std::string(48, '0'), "text", "key"));
  EXPECT_TRUE(LoadSubjectLibrary(kAppDir));
  EXPECT_TRUE(SubjectLibraryLoaded());
}

TEST_F(SubjectMatching, BothEsubFormsAndHsubsMatchTheirLines) {
  const std::vector<std::string> lines = {
      Line("2000", true, true, "text", "key"),
      Line("2001", true, false, "hsub secret"),
  };
  const auto idea = LibraryMakeSubject("text", "key");
  ASSERT_TRUE(idea);
  EXPECT_TRUE(LibraryTestSubject(*idea, "text", "key"));
  EXPECT_FALSE(TestEncryptedSubject(*idea, "text", "key"));  // only the library knows this form
  const std::string blowfish = *MakeEncryptedSubject("text", "key");
  const std::string hsub = *MakeHashedSubject("hsub secret");
  SubjectMatcher matcher(lines);
  const struct {
    std::string tag;
    std::optional<std::string> subno;
  } cases[] = {
      {blowfish, "2000"},
      {*idea, "2000"},
      {hsub, "2001"},
      {*MakeEncryptedSubject("text", "kez"), std::nullopt},
      {*LibraryMakeSubject("text", "kez"), std::nullopt},
      {*MakeHashedSubject("hsub secreT"), std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(matcher.Match(c.tag), c.subno) << c.tag;
    EXPECT_EQ(MatchSubject(c.tag, lines), c.subno) << c.tag;
  }
}

TEST_F(SubjectMatching, FirstActiveLineWins) {
  const std::string tag = *MakeHashedSubject("shared");
  const struct {
    std::vector<std::string> lines;
    std::optional<std::string> subno;
  } cases[] = {
      {{Line("2000", true, false, "shared"), Line("2001", true, false, "shared")}, "2000"},
      {{Line("2000", false, false, "shared"), Line("2001", true, false, "shared")}, "2001"},
      {{Line("2000", false, false, "shared")}, std::nullopt},
      {{Line("2000", true, false, "shared")}, "2000"},  // made active again
      {{Line("2000", true, true, "shared", "pw"), Line("2001", true, false, "shared")}, "2001"},
      {{}, std::nullopt},
  };
  for (const auto& c : cases) {
    SubjectMatcher matcher(c.lines);
    EXPECT_EQ(matcher.Match(tag), c.subno);
    EXPECT_EQ(MatchSubject(tag, c.lines), c.subno);
  }
}

TEST_F(SubjectMatching, MatchArticleInsertsTheSubjectNumberFirst) {
  const std::string tag = *MakeEncryptedSubject("text", "key");
  SubjectMatcher matcher({Line("2005", true, true, "text", "key")});
  StringList article{"From: nobody@example", "Subject: " + tag, "", "body"};
  EXPECT_TRUE(matcher.MatchArticle(article, tag));
  EXPECT_EQ(article, (StringList{"Subject-No: 2005", "From: nobody@example", "Subject: " + tag, "", "body"}));

  StringList other{"Subject: x", "", "body"};
  EXPECT_FALSE(matcher.MatchArticle(other, "x"));
  EXPECT_FALSE(matcher.MatchArticle(other, ""));
  EXPECT_EQ(other, (StringList{"Subject: x", "", "body"}));
}

// Every change of a valid tag, for every line kind, including texts with
// zero bytes that the library cuts short: the pass matcher and the per-call
// tests agree on each.
TEST_F(SubjectMatching, PassMatcherAgreesWithPerCallTests) {
  const std::vector<std::string> lines = {
      Line("2000", false, true, "text", "key"),  // inactive
      Line("2001", true, true, "text", "key"),
      Line("2002", true, false, "secret"),
      Line("2003", true, true, std::string("a\0b", 3), "key"),
      Line("2004", true, true, std::string("\0x", 2), "key"),
      Line("2005", true, true, "text", std::string("k\0y", 3)),
      Line("2006", true, false, std::string("s\0t", 3)),
  };
  std::vector<std::string> tags = {
      *MakeEncryptedSubject("text", "key"), *LibraryMakeSubject("text", "key"), *MakeHashedSubject("secret"),
      *MakeEncryptedSubject(std::string("a\0b", 3), "key"), *LibraryMakeSubject("a", "key"),
      *LibraryMakeSubject("x", "key"), *MakeEncryptedSubject(std::string("\0x", 2), "key"),
      *LibraryMakeSubject("text", "k"), *MakeHashedSubject(std::string("s\0t", 3)),
  };
  std::vector<std::string> candidates;
  for (const std::string& tag : tags) {
    candidates.push_back(tag);
    std::string upper = tag;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    candidates.push_back(upper);
    candidates.push_back(tag.substr(0, 47));
    candidates.push_back(tag + "0");
    candidates.push_back(tag + std::string(1, '\0') + "tail");
    for (size_t i = 0; i < tag.size(); i += 5) {
      std::string changed = tag;
      changed[i] = changed[i] == '0' ? 'z' : '0';
      candidates.push_back(changed);
      changed[i] = '\0';
      candidates.push_back(changed);
    }
  }
  SubjectMatcher matcher(lines);
  EXPECT_EQ(matcher.size(), 6u);
  int matches = 0;
  for (const std::string& candidate : candidates) {
    const auto expected = MatchSubject(candidate, lines);
    EXPECT_EQ(matcher.Match(candidate), expected) << candidate;
    matches += expected.has_value();
  }
  EXPECT_GT(matches, 10);  // the table is not all misses
}

TEST(SubjectLineRecord, FieldsInOrderAndBack) {
  SubjectLine line;
  line.subno = "2003";
  line.active = true;
  line.subject = "my subject";
  line.esub = true;
  line.ephrase = "pass, phrase";
  line.ekey = true;
  line.kphrase = "one,two";
  line.keyid = "0xDEADBEEF";
  const std::string text = SubjectLineText(line);
  EXPECT_EQ(text,
            "subno=2003,active=1,\"subject=my subject\",esub=1,\"ephrase=pass, phrase\",ekey=1,"
            "\"kphrase=one,two\",keyid=0xDEADBEEF");
  const SubjectLine back = ParseSubjectLine(text);
  EXPECT_EQ(SubjectLineText(back), text);

  SubjectLine hsub;
  hsub.subno = "2004";
  hsub.subject = "s";
  hsub.keyid = "k";
  EXPECT_EQ(SubjectLineText(hsub), "subno=2004,active=0,subject=s,esub=0,ekey=0,keyid=k");
  const SubjectLine odd = ParseSubjectLine("subno=7,active=yes,esub=2");
  EXPECT_FALSE(odd.active);
  EXPECT_FALSE(odd.esub);
}

TEST(SubjectLineRecord, NextSubjectNumber) {
  const struct {
    const char* stored;
    std::vector<std::string> lines;
    long long next;
  } cases[] = {
      {"", {}, 2000},
      {"2000", {}, 2000},
      {"1500", {}, 2000},
      {"junk", {}, 2000},
      {"2010", {"subno=2003"}, 2010},
      {"2000", {"subno=2000", "subno=2001"}, 2002},   // a stale nextsubject
      {"1500", {"subno=2004", "subno=2002"}, 2005},
      {"2147483647", {"subno=2147483647"}, 2147483648LL},
      {"2000", {"subno=abc", "keyid=x"}, 2000},
  };
  for (const auto& c : cases) EXPECT_EQ(NextSubjectNumber(c.stored, c.lines), c.next) << c.stored;
}

}  // namespace
}  // namespace fhr
