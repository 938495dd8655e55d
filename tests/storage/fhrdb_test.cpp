// The mail database's records: the inbox, keyed records, record lines,
// database settings, opening and saving.
#include "storage/fhrdb.h"

#include <gtest/gtest.h>

#include "support/scripted_msgdialog.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

std::unique_ptr<TFHRDB> NewDb() {
  auto db = std::make_unique<TFHRDB>("");
  db->OpenImage("");
  return db;
}

TEST(FhrDb, InboxListsMessagesInFirstStoredOrderAndRenamesKeepThePlace) {
  auto db = NewDb();
  StringList keys;
  ASSERT_TRUE(db->ListInbox(keys));
  EXPECT_TRUE(keys.empty());
  const StringList message{"Subject-No: 2000", "From: a", "", "body"};
  ASSERT_TRUE(db->WriteMessage("b", message));
  ASSERT_TRUE(db->WriteMessage("a", {"x"}));
  ASSERT_TRUE(db->WriteMessage("c", {"y"}));
  ASSERT_TRUE(db->ListInbox(keys));
  EXPECT_EQ(keys, StringList({"b", "a", "c"}));
  ASSERT_TRUE(db->RenameMessage("b", "b2"));
  EXPECT_FALSE(db->RenameMessage("a", "C"));
  ASSERT_TRUE(db->DeleteMessage("a"));
  ASSERT_TRUE(db->ListInbox(keys));
  EXPECT_EQ(keys, StringList({"b2", "c"}));
  StringList lines;
  ASSERT_TRUE(db->ReadMessage("b2", lines));
  EXPECT_EQ(lines, message);
  ASSERT_TRUE(db->ReadMessage("a", lines));
  EXPECT_TRUE(lines.empty());
}

TEST(FhrDb, HostsAreKeyedRecordsLookedUpWithoutRegardToCase) {
  auto db = NewDb();
  ASSERT_TRUE(db->WriteHosts({"first=server=a", "Second=server=b", "third=server=c"}));
  StringList record{"server=news.example", "name=John Smith"};
  ASSERT_TRUE(db->PutHost("second", record));  // existing, other case: replaced in place
  ASSERT_TRUE(db->PutHost("fourth", {"server=d"}));  // new: appended
  StringList hosts;
  ASSERT_TRUE(db->ReadHosts(hosts));
  ASSERT_EQ(hosts.size(), 4u);
  EXPECT_EQ(hosts[1], "second=server=news.example,\"name=John Smith\"");
  EXPECT_EQ(hosts.Name(3), "fourth");
  StringList back;
  ASSERT_TRUE(db->GetHost("SECOND", back));
  EXPECT_EQ(back, record);
  ASSERT_TRUE(db->GetHost("absent", back));
  EXPECT_TRUE(back.empty());
  ASSERT_TRUE(db->PutHost("first", {}));  // an empty record removes the entry
  ASSERT_TRUE(db->ReadHosts(hosts));
  EXPECT_EQ(hosts.size(), 3u);
}

TEST(FhrDb, NymserversGiveTheirTypeOrError) {
  auto db = NewDb();
  ASSERT_TRUE(db->WriteNymservers({"nym.example=type=nym,email=x", "old.example=email=y", "Third.example=type="}));
  const std::pair<const char*, const char*> cases[] = {
      {"NYM.example", "nym"}, {"old.example", "error"}, {"third.example", "error"}, {"absent", "error"}};
  for (const auto& [domain, type] : cases) EXPECT_EQ(db->NymserverType(domain), type) << domain;
  StringList domains;
  ASSERT_TRUE(db->ListNymservers(domains));
  EXPECT_EQ(domains, StringList({"nym.example", "old.example", "Third.example"}));
  StringList record;
  ASSERT_TRUE(db->GetNymserver("nym.example", record));
  EXPECT_EQ(record, StringList({"type=nym", "email=x"}));
}

TEST(FhrDb, SubjectLinesAreFoundByTheExactSubno) {
  auto db = NewDb();
  ASSERT_TRUE(db->WriteSubjects({"subno=02001,name=zero", "subno=2002,name=two"}));
  StringList record;
  ASSERT_TRUE(db->GetSubjectLine("2001", record));
  EXPECT_TRUE(record.empty());
  EXPECT_EQ(db->GetSubjectField("02001", "name"), "zero");
  EXPECT_EQ(db->GetSubjectField("2002", "missing"), "");
  ASSERT_TRUE(db->PutSubjectLine("2002", {"subno=2002", "name=changed"}));
  ASSERT_TRUE(db->PutSubjectLine("2001", {"subno=2001", "name=new one"}));
  StringList lines;
  ASSERT_TRUE(db->ReadSubjects(lines));
  EXPECT_EQ(lines, StringList({"subno=02001,name=zero", "subno=2002,name=changed", "subno=2001,\"name=new one\""}));
}

TEST(FhrDb, DbSettingsFallBackToTheDefaultAndSurviveASave) {
  test::TempDir dir;
  {
    auto db = OpenMailDatabase(dir.file("fhr.db"));
    ASSERT_TRUE(db);
    EXPECT_EQ(db->GetDbSetting("nextsubject", "2000"), "2000");
    ASSERT_TRUE(db->SetDbSetting("nextsubject", "2005"));
    db->SetSessionKey("abc=");
    ASSERT_TRUE(db->WriteStatus({"status line"}));
    ASSERT_TRUE(db->SaveDatabase());
    EXPECT_TRUE(db->SaveDatabase());  // nothing to do
  }
  auto db = OpenMailDatabase(dir.file("fhr.db"));
  ASSERT_TRUE(db);
  EXPECT_EQ(db->GetDbSetting("NEXTSUBJECT", "2000"), "2005");
  EXPECT_NE(db->GetSessionKey(), "abc=") << "every open makes its own session key";
  StringList status;
  ASSERT_TRUE(db->ReadStatus(status));
  EXPECT_EQ(status, StringList({"status line"}));
  EXPECT_FALSE(db->IsSecure());
}

TEST(FhrDb, OpeningSomethingElseGivesNoDatabaseAndLeavesTheFile) {
  test::ScriptedMsgDialog boxes;
  test::TempDir dir;
  dir.write("fhr.db", "not a database at all");
  EXPECT_EQ(OpenMailDatabase(dir.file("fhr.db")), nullptr);
  EXPECT_EQ(dir.read("fhr.db"), "not a database at all");
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].caption, " FATAL ERROR ");
}

TEST(FhrDb, AFailedSaveIsShownAndKeepsTheDatabaseChanged) {
  test::ScriptedMsgDialog boxes;
  test::TempDir dir;
  auto db = OpenMailDatabase(dir.file("missing-folder/fhr.db"));
  ASSERT_TRUE(db);
  ASSERT_TRUE(db->WriteStatus({"x"}));
  EXPECT_FALSE(db->SaveDatabase());
  EXPECT_TRUE(db->Changed());
  ASSERT_EQ(boxes.texts().size(), 1u);
  EXPECT_TRUE(boxes.texts()[0].starts_with("Problem! I couldn't save the database! The error reported was:   \n\n"))
      << boxes.texts()[0];
  db->SetChanged(false);
}

}  // namespace
}  // namespace fhr
