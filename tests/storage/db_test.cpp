// The database engine: byte layout, keys, allocation and the free list,
// errors, and the sound behaviour around damaged files and bad names.
#include "storage/db.h"

#include <gtest/gtest.h>

#include "storage/db_compression.h"
#include "support/scripted_msgdialog.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

const std::string kFF(1, '\xFF');

std::string Int(int32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s += static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
  return s;
}

int32_t IntAt(const std::string& image, std::size_t offset) {
  uint32_t u = 0;
  for (int i = 3; i >= 0; --i) u = (u << 8) | static_cast<unsigned char>(image[offset + static_cast<std::size_t>(i)]);
  return static_cast<int32_t>(u);
}

std::unique_ptr<TDB> NewDb() {
  auto db = std::make_unique<TDB>("");
  db->OpenImage("");
  return db;
}

std::string ReadText(TDB& db, const std::string& key) {
  TDBbuffer buffer;
  db.ReadBuffer(key, buffer);
  return buffer.Text();
}

bool Write(TDB& db, const std::string& key, const std::string& bytes) {
  TDBbuffer buffer(bytes);
  return db.WriteBuffer(key, &buffer);
}

TEST(DbFormat, NewImageIsTheThirtyOneByteEmptyFile) {
  auto db = NewDb();
  const std::string expected = std::string("FH\x02\x05\x01\x07\x0C\x19\xD8  ", 11) + Int(23) + Int(27) +
                               Int(8) + Int(-1) + Int(0);
  EXPECT_EQ(db->Image(), expected);
  EXPECT_FALSE(db->Changed());

  TDB again("");
  again.OpenImage(expected);
  EXPECT_EQ(again.OpenError(), 0);
  std::vector<std::string> names{"x"};
  EXPECT_TRUE(again.ListFolder("", &names));
  EXPECT_TRUE(names.empty());
}

// A folder's block: flags 1, length, the zlib stream of "name CR LF ... NUL",
// then one position per name; a record's block: flags 0, length, stream.
TEST(DbFormat, FolderAndRecordBlocksHoldTheirFlagsLengthsStreamsAndPositions) {
  auto db = NewDb();
  ASSERT_TRUE(Write(*db, "inbox" + kFF + "a", "hello"));
  const std::string image = db->Image();
  const int32_t rootBlock = IntAt(image, static_cast<std::size_t>(IntAt(image, 11)));
  TDBmanager m(const_cast<std::string&>(image), "");
  // Root folder: one name "inbox".
  ASSERT_EQ(IntAt(image, static_cast<std::size_t>(rootBlock)), 1);
  const int32_t rootLen = IntAt(image, static_cast<std::size_t>(rootBlock) + 4);
  TDBbuffer names;
  DbErrorDetail detail;
  ASSERT_TRUE(DbDecompress(image.substr(static_cast<std::size_t>(rootBlock) + 8, static_cast<std::size_t>(rootLen)),
                           names, detail));
  EXPECT_EQ(names.Data(), std::string("inbox\r\n\0", 8));
  const int32_t inboxBlock = IntAt(image, static_cast<std::size_t>(rootBlock + 8 + rootLen));
  ASSERT_EQ(IntAt(image, static_cast<std::size_t>(inboxBlock)), 1);
  const int32_t inboxLen = IntAt(image, static_cast<std::size_t>(inboxBlock) + 4);
  const int32_t record = IntAt(image, static_cast<std::size_t>(inboxBlock + 8 + inboxLen));
  EXPECT_EQ(IntAt(image, static_cast<std::size_t>(record)), 0);
  const int32_t recordLen = IntAt(image, static_cast<std::size_t>(record) + 4);
  TDBbuffer plain;
  ASSERT_TRUE(DbDecompress(image.substr(static_cast<std::size_t>(record) + 8, static_cast<std::size_t>(recordLen)),
                           plain, detail));
  EXPECT_EQ(plain.Data(), "hello");
  // Block sizes cover their payloads exactly.
  EXPECT_EQ(IntAt(image, static_cast<std::size_t>(record) - 4), 4 + 8 + recordLen);
  EXPECT_EQ(IntAt(image, static_cast<std::size_t>(inboxBlock) - 4), 4 + 8 + inboxLen + 4);
}

TEST(DbKeys, KeysAddressRecordsAsTheFormatSays) {
  auto db = NewDb();
  ASSERT_TRUE(Write(*db, "inbox" + kFF + "a", "A"));
  ASSERT_TRUE(Write(*db, "settings", "S"));
  struct Case {
    std::string key;
    std::string expected;
  } cases[] = {
      {"INBOX" + kFF + "A", "A"},            // case-insensitive names
      {"settings" + kFF, "S"},               // trailing separator ignored
      {"Settings" + kFF + kFF + "x", "S"},   // the walk stops at an empty part
      {"inbox", "a\r\n"},                    // a folder reads as its name text
      {"missing", ""},
      {"inbox" + kFF + "b", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadText(*db, c.key), c.expected) << c.key;
  StringList list;
  ASSERT_TRUE(db->ReadStrings("inbox", list));
  EXPECT_EQ(list, StringList({"a"}));
  ASSERT_TRUE(db->ReadStrings("nothing", list));
  EXPECT_TRUE(list.empty());
}

TEST(DbKeys, StringsRoundTripAndFoldersKeepFirstWriteOrder) {
  auto db = NewDb();
  const StringList settings{"securemode=0", "nextsubject=2000", ""};
  ASSERT_TRUE(db->WriteStrings("settings", &settings));
  for (const char* name : {"b", "a", "c", "A"}) ASSERT_TRUE(Write(*db, "inbox" + kFF + name, name));
  StringList back;
  ASSERT_TRUE(db->ReadStrings("settings", back));
  EXPECT_EQ(back, settings);
  ASSERT_TRUE(db->ReadStrings("inbox", back));
  EXPECT_EQ(back, StringList({"b", "a", "c"}));
  EXPECT_EQ(ReadText(*db, "inbox" + kFF + "a"), "A");
}

TEST(DbKeys, DeletingTheOnlyRecordLeavesAnEmptyFolderInItsParent) {
  auto db = NewDb();
  ASSERT_TRUE(Write(*db, "inbox" + kFF + "a", "x"));
  ASSERT_TRUE(db->DeleteRecord("inbox" + kFF + "a"));
  std::vector<std::string> names;
  ASSERT_TRUE(db->ListFolder("", &names));
  EXPECT_EQ(names, std::vector<std::string>{"inbox"});
  ASSERT_TRUE(db->ListFolder("inbox", &names));
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(db->KindOf("inbox"), TDB::EntryKind::kFolder);
}

TEST(DbKeys, BadNamesDeepKeysAndRenamesOntoExistingNamesAreRefused) {
  test::ScriptedMsgDialog boxes;
  auto db = NewDb();
  ASSERT_TRUE(Write(*db, "f" + kFF + "a", "1"));
  ASSERT_TRUE(Write(*db, "f" + kFF + "b", "2"));
  std::string deep;
  for (int i = 0; i < 17; ++i) deep += (i ? kFF : "") + "d";
  std::string deepest16;
  for (int i = 0; i < 16; ++i) deepest16 += (i ? kFF : "") + "d";
  for (const std::string& key : {std::string("a\rb"), std::string("a\nb"), std::string("a\0b", 3), deep,
                                 std::string(""), kFF + "x"}) {
    EXPECT_FALSE(Write(*db, key, "x")) << key;
  }
  EXPECT_TRUE(Write(*db, deepest16, "16 parts"));
  EXPECT_EQ(ReadText(*db, deepest16), "16 parts");
  EXPECT_FALSE(db->RenameRecord("f" + kFF + "a", "B"));
  EXPECT_FALSE(db->RenameRecord("f" + kFF + "a", "x\ny"));
  EXPECT_TRUE(db->RenameRecord("f" + kFF + "a", "A"));  // its own name in another case
  EXPECT_TRUE(db->RenameRecord("f" + kFF + "a", "c"));
  StringList names;
  db->ReadStrings("f", names);
  EXPECT_EQ(names, StringList({"c", "b"}));
  EXPECT_EQ(ReadText(*db, "f" + kFF + "b"), "2");
  EXPECT_EQ(ReadText(*db, "f" + kFF + "c"), "1");
  const auto texts = boxes.texts();
  ASSERT_EQ(texts.size(), 8u);
  EXPECT_EQ(texts[0], " Invalid database key!");
  EXPECT_EQ(texts[6], " Database name already exists!");
  EXPECT_EQ(boxes.boxes()[0].caption, "DB Error");
}

// A record written into a folder that is a record is refused: storing the
// folder would free the record's block and lose it.
TEST(DbKeys, ARecordIsNeverTreatedAsAFolder) {
  test::ScriptedMsgDialog boxes;
  auto db = NewDb();
  ASSERT_TRUE(Write(*db, "settings", "keep me"));
  EXPECT_FALSE(Write(*db, "settings" + kFF + "x", "y"));
  EXPECT_EQ(ReadText(*db, "settings"), "keep me");
}

TEST(DbSpace, FreedBlocksMergeAreReusedFirstFitAndMoveTheEndBack) {
  std::string image;
  TDBmanager m(image, "");
  ASSERT_TRUE(m.Initialize());
  const int32_t root = m.Allocate(4);  // the root cell: 19..27
  EXPECT_EQ(root, 23);
  const int32_t a = m.Allocate(16);  // block 27..47
  const int32_t b = m.Allocate(16);  // 47..67
  const int32_t c = m.Allocate(6);   // 67..77
  const int32_t d = m.Allocate(6);   // 77..87
  EXPECT_EQ(m.EndOfData(), 87);
  m.FreeBlock(d);  // the last block: the end of data moves back
  EXPECT_EQ(m.EndOfData(), 77);
  EXPECT_EQ(m.FreeList().Count(), 0u);
  m.FreeBlock(a);
  m.FreeBlock(b);  // touches a: one extent
  ASSERT_EQ(m.FreeList().Count(), 1u);
  EXPECT_EQ(m.FreeList().Start(0), 27);
  EXPECT_EQ(m.FreeList().Size(0), 40);
  EXPECT_EQ(m.Allocate(16), 31);  // first fit, from the front
  EXPECT_EQ(m.FreeList().Start(0), 47);
  EXPECT_EQ(m.Allocate(16), 51);  // fits exactly: the extent goes
  EXPECT_EQ(m.FreeList().Count(), 0u);
  m.FreeBlock(root);  // the root cell is never freed
  EXPECT_EQ(m.FreeList().Count(), 0u);
  EXPECT_EQ(m.Error(), 0);
  // The free list is stored at the end of data.
  EXPECT_EQ(IntAt(image, static_cast<std::size_t>(m.EndOfData())), 0);
  (void)c;
}

TEST(DbSpace, FreeListGivesMergeInsertAndRefuseOverlaps) {
  struct Case {
    std::vector<std::pair<int32_t, int32_t>> before;
    std::pair<int32_t, int32_t> give;
    bool accepted;
    std::vector<std::pair<int32_t, int32_t>> after;
  } cases[] = {
      {{}, {100, 10}, true, {{100, 10}}},
      {{{100, 10}}, {110, 5}, true, {{100, 15}}},                       // grows the one before
      {{{100, 10}}, {90, 10}, true, {{90, 20}}},                        // grows the one after
      {{{100, 10}, {120, 5}}, {110, 10}, true, {{100, 25}}},            // joins both
      {{{100, 10}, {130, 5}}, {115, 5}, true, {{100, 10}, {115, 5}, {130, 5}}},
      {{{100, 10}}, {105, 10}, false, {{100, 10}}},                     // overlaps: refused
      {{{100, 10}}, {95, 10}, false, {{100, 10}}},
  };
  for (const Case& c : cases) {
    TDBfreeList list;
    for (auto [s, n] : c.before) ASSERT_TRUE(list.Give(s, n));
    EXPECT_EQ(list.Give(c.give.first, c.give.second), c.accepted);
    std::vector<std::pair<int32_t, int32_t>> after;
    for (std::size_t i = 0; i < list.Count(); ++i) after.emplace_back(list.Start(i), list.Size(i));
    EXPECT_EQ(after, c.after) << c.give.first;
  }
}

// Deleted mail is wiped over the whole block, not only its first bytes.
TEST(DbSpace, DeletedRecordsLeaveNoTraceInTheImage) {
  auto db = NewDb();
  std::string secret;
  for (int i = 0; i < 200; ++i) secret += "secret line " + std::to_string(i * 7919) + "\r\n";
  ASSERT_TRUE(Write(*db, "inbox" + kFF + "m1", secret));
  ASSERT_TRUE(Write(*db, "inbox" + kFF + "m2", "other"));
  db->Image();
  std::string stored;
  DbErrorDetail detail;
  ASSERT_TRUE(DbCompress(secret, &stored, detail));
  ASSERT_NE(db->Image().find(stored.substr(2, 40)), std::string::npos);
  ASSERT_TRUE(db->DeleteRecord("inbox" + kFF + "m1"));
  EXPECT_EQ(db->Image().find(stored.substr(2, 40)), std::string::npos);
  EXPECT_EQ(ReadText(*db, "inbox" + kFF + "m2"), "other");
}

TEST(DbErrors, TextsOfEveryCode) {
  DbErrorDetail detail;
  detail.exceptionText = "disk on fire";
  detail.zlibMessage = "incorrect header check";
  const std::pair<int, std::string> cases[] = {
      {1, " Database write error!   "},
      {2, " Database write exception!   \n disk on fire"},
      {3, " Database read error!   "},
      {4, " Database read exception!   \n disk on fire"},
      {5, " Database seek error!   "},
      {6, " Database seek exception!   \n disk on fire"},
      {7, " Database initialization error!   "},
      {8, " Database freelist write error!   "},
      {9, " Database freelist read error!   "},
      {10, " Database decompression error!   \n incorrect header check"},
      {11, " Database compression error!   \n incorrect header check"},
      {12, ""},
      {99, " Unknown database error!   "},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(DbErrorText(code, detail), text) << code;
}

TEST(DbErrors, AFileWithAnotherMagicIsRefusedWithTheFatalBox) {
  test::ScriptedMsgDialog boxes;
  TDB db("/some/where/fhr.db");
  db.OpenImage("FH\x02\x05\x01\x07\x0C\x19\xD9  plus more bytes");
  EXPECT_EQ(db.OpenError(), kDbNotADatabase);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].caption, " FATAL ERROR ");
  EXPECT_EQ(boxes.texts()[0], " The file '/some/where/fhr.db' isn't a FH database!");
}

TEST(DbErrors, ADamagedRecordGivesTheDecompressionErrorAndOthersStayReadable) {
  test::ScriptedMsgDialog boxes;
  auto db = NewDb();
  ASSERT_TRUE(Write(*db, "good", "fine"));
  ASSERT_TRUE(Write(*db, "bad", "will break"));
  std::string image = db->Image();
  // The last record written lies just before the root folder's block; find
  // its stream by its zlib header after the "good" one.
  std::string stored;
  DbErrorDetail detail;
  ASSERT_TRUE(DbCompress("will break", &stored, detail));
  const std::size_t at = image.find(stored);
  ASSERT_NE(at, std::string::npos);
  image[at] = 'X';
  TDB damaged("");
  damaged.OpenImage(image);
  ASSERT_EQ(damaged.OpenError(), 0);
  TDBbuffer buffer;
  EXPECT_FALSE(damaged.ReadBuffer("bad", buffer));
  ASSERT_EQ(boxes.texts().size(), 1u);
  EXPECT_EQ(boxes.texts()[0], " Database decompression error!   \n incorrect header check");
  EXPECT_EQ(ReadText(damaged, "good"), "fine");
  EXPECT_TRUE(Write(damaged, "new", "still usable"));
  EXPECT_EQ(ReadText(damaged, "new"), "still usable");
}

// A root folder that cannot be read is an open error, and the database is
// never written back over the file.
TEST(DbErrors, AnUnreadableRootIsAnOpenErrorAndIsNeverSaved) {
  test::ScriptedMsgDialog boxes;
  test::TempDir dir;
  std::string image;
  {
    auto db = NewDb();
    ASSERT_TRUE(Write(*db, "settings", "x"));
    image = db->Image();
  }
  const int32_t rootBlock = IntAt(image, static_cast<std::size_t>(IntAt(image, 11)));
  image[static_cast<std::size_t>(rootBlock) + 9] ^= 0x55;  // inside the root's zlib stream
  dir.write("fhr.db", image);
  {
    TDB db(dir.file("fhr.db"));
    db.Open();
    EXPECT_EQ(db.OpenError(), kDbDecompressionError);
    Write(db, "other", "y");
    EXPECT_FALSE(db.SaveToFile(""));
  }
  EXPECT_EQ(dir.read("fhr.db"), image);
}

TEST(DbFile, SavedFileReopensWithEveryRecordAndSaveClearsTheChangedFlag) {
  test::TempDir dir;
  const std::string path = dir.file("fhr.db");
  {
    TDB db(path);
    db.Open();
    ASSERT_EQ(db.OpenError(), 0);
    EXPECT_FALSE(db.Changed());
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(Write(db, "inbox" + kFF + "m" + std::to_string(i), std::to_string(i)));
    ASSERT_TRUE(db.DeleteRecord("inbox" + kFF + "m7"));
    ASSERT_TRUE(db.RenameRecord("inbox" + kFF + "m8", "eight"));
    EXPECT_TRUE(db.Changed());
    ASSERT_TRUE(db.SaveToFile(""));
    EXPECT_FALSE(db.Changed());
  }
  TDB db(path);
  db.Open();
  ASSERT_EQ(db.OpenError(), 0);
  std::vector<std::string> names;
  ASSERT_TRUE(db.ListFolder("inbox", &names));
  ASSERT_EQ(names.size(), 49u);
  EXPECT_EQ(names[7], "eight");
  EXPECT_EQ(ReadText(db, "inbox" + kFF + "eight"), "8");
  EXPECT_EQ(ReadText(db, "inbox" + kFF + "m49"), "49");
}

// Storing a folder lazily changes nothing a reader sees: one write then a
// save gives the bytes of storing the folder at once.
TEST(DbFile, LazyFolderStoringWritesTheSameFileAsStoringAtOnce) {
  auto lazy = NewDb();
  ASSERT_TRUE(Write(*lazy, "inbox" + kFF + "a", "message"));

  auto eager = NewDb();
  TDBindex* root = eager->IndexAt(0);
  TDBindex inbox(eager->Manager(), root, "inbox");
  TDBbuffer message("message");
  inbox.WriteRecord("a", &message, true);
  ASSERT_EQ(eager->Manager().Error(), 0);
  EXPECT_EQ(lazy->Image(), eager->Image());
}

}  // namespace
}  // namespace fhr
