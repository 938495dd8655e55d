// The erasing plugin through its binding: real erasure of files and hard
// links, refusal of symbolic links, and each failure path of a job played
// by a stand-in library that fails at a chosen step.
#include "eraser/eraser.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "eraser/plugin/eraser.h"
#include "support/scripted_msgdialog.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class Eraser : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoadEraser(std::string(FHR_BIN_DIR) + "/")); }
  test::TempDir dir_;
  test::ScriptedMsgDialog dialogs_;
};

TEST_F(Eraser, OverwritesTheFileRemovesItsNameAndLeavesNoTrace) {
  const std::string secret(200000, 'S');
  dir_.write("secret", secret);
  ASSERT_EQ(::link(dir_.file("secret").c_str(), dir_.file("other-name").c_str()), 0);
  EraseFile(dir_.file("secret"));
  EXPECT_TRUE(dialogs_.boxes().empty());
  // Only the other link is left (no renamed leftover), and it shares the
  // overwritten, emptied file.
  EXPECT_EQ(Names(dir_.path()), std::vector<std::string>{"other-name"});
  EXPECT_EQ(dir_.read("other-name"), "");
}

TEST_F(Eraser, RefusesSymbolicLinksAndOffersNothingOnNo) {
  dir_.write("target", "keep me");
  ASSERT_EQ(::symlink(dir_.file("target").c_str(), dir_.file("link").c_str()), 0);
  dialogs_.Answer(kMrOk);
  dialogs_.Answer(kMrNo);
  EraseFile(dir_.file("link"));
  EXPECT_EQ(dialogs_.texts(),
            (std::vector<std::string>{"I failed starting eraser thread. Eraser reports: \n\nOperation not permitted",
                                      "Eraser failed to remove the following file(s). Shall I just \n"
                                      "go aheadand delete them? \n\n" +
                                          dir_.file("link")}));
  EXPECT_EQ(dir_.read("target"), "keep me");
  EXPECT_TRUE(Exists(dir_.file("link")));
}

// A stand-in library: each function can be made to fail.
struct FakeLibrary {
  static inline int32_t createResult = 0;
  static inline int32_t startResult = 0;
  static inline bool startRemovesFiles = false;
  static inline std::vector<std::string> added;
  static inline int destroyed = 0;
  static int32_t Create(uint32_t* handle, uint16_t, uint16_t, uint8_t) {
    *handle = 7;
    return createResult;
  }
  static int32_t SetType(uint32_t, uint16_t) { return 0; }
  static int32_t Add(uint32_t, const char* name, uint16_t length) {
    added.emplace_back(name, length);
    return 0;
  }
  static int32_t Start(uint32_t) {
    if (startRemovesFiles) {
      for (const std::string& name : added) ::unlink(name.c_str());
    }
    return startResult;
  }
  static int32_t Destroy(uint32_t) {
    ++destroyed;
    return 0;
  }
};

class EraserFailures : public Eraser {
 protected:
  void SetUp() override {
    FakeLibrary::createResult = 0;
    FakeLibrary::startResult = 0;
    FakeLibrary::startRemovesFiles = false;
    FakeLibrary::added.clear();
    FakeLibrary::destroyed = 0;
    previous_ = InstallEraserResolver([this](const char* name) -> void* {
      const std::string n = name;
      if (n == missing_) return nullptr;
      if (n == "eraserCreateContextEx") return reinterpret_cast<void*>(&FakeLibrary::Create);
      if (n == "eraserSetDataType") return reinterpret_cast<void*>(&FakeLibrary::SetType);
      if (n == "eraserAddItem") return reinterpret_cast<void*>(&FakeLibrary::Add);
      if (n == "eraserStartSync") return reinterpret_cast<void*>(&FakeLibrary::Start);
      if (n == "eraserDestroyContext") return reinterpret_cast<void*>(&FakeLibrary::Destroy);
      return nullptr;
    });
    dir_.write("a", "secret a");
    dir_.write("b", "secret b");
  }
  void TearDown() override { InstallEraserResolver(previous_); }
  EraserResolver previous_;
  std::string missing_;
};

TEST_F(EraserFailures, AContextThatCannotBeMadeOffersPlainDeletion) {
  FakeLibrary::createResult = ERASER_ERROR_INIT;
  dialogs_.Answer(kMrOk);
  dialogs_.Answer(kMrYes);
  EraseFiles({dir_.file("a"), dir_.file("b")});
  EXPECT_EQ(dialogs_.texts(),
            (std::vector<std::string>{"I failed creating eraser context. Eraser reports: \n\nLibrary not initialized",
                                      "Eraser failed to remove the following file(s). Shall I just \n"
                                      "go aheadand delete them? \n\n" +
                                          dir_.file("a") + "\r\n" + dir_.file("b")}));
  EXPECT_EQ(FakeLibrary::destroyed, 1) << "the context is destroyed even when it was never made";
  EXPECT_FALSE(Exists(dir_.file("a")));
  EXPECT_FALSE(Exists(dir_.file("b")));
}

TEST_F(EraserFailures, NoQuestionWhenTheFilesAreGoneAnyway) {
  FakeLibrary::startResult = ERASER_ERROR_THREAD;
  FakeLibrary::startRemovesFiles = true;
  EraseFile(dir_.file("a"));
  EXPECT_EQ(dialogs_.texts(),
            std::vector<std::string>{"I failed starting eraser thread. Eraser reports: \n\nFailed to start thread"});
  EXPECT_EQ(FakeLibrary::added, std::vector<std::string>{dir_.file("a")});
}

TEST_F(EraserFailures, AMissingFunctionEndsTheJobAsFailed) {
  missing_ = "eraserAddItem";
  dialogs_.Answer(kMrOk);
  dialogs_.Answer(kMrOk);
  dialogs_.Answer(kMrNo);
  EraseFile(dir_.file("a"));
  ASSERT_EQ(dialogs_.texts().size(), 3u);
  EXPECT_TRUE(dialogs_.texts()[0].starts_with("liberaser.so access error:\n")) << dialogs_.texts()[0];
  EXPECT_EQ(dialogs_.texts()[1],
            "I failed adding erase filename, " + dir_.file("a") + "! Eraser reports: \n\nFunction not implemented");
  EXPECT_TRUE(Exists(dir_.file("a")));
}

TEST(EraserErrorTexts, KnownAndUnknownCodes) {
  EXPECT_EQ(EraserErrorText(-1), "Unspecified error   ");
  EXPECT_EQ(EraserErrorText(-12), "Library not initialized   ");
  EXPECT_EQ(EraserErrorText(-32), "Function not implemented   ");
  EXPECT_EQ(EraserErrorText(-20), "No error   ");
  EXPECT_EQ(EraserErrorText(0), "No error   ");
}

TEST(EraserLoading, MissingAndForeignLibrariesStopTheLoad) {
  UnloadEraser();
  test::ScriptedMsgDialog dialogs;
  test::TempDir dir;
  EXPECT_FALSE(LoadEraser(dir.path() + "/"));
  // A library without a version: any other shared library will do.
  std::filesystem::copy_file(std::string(FHR_BIN_DIR) + "/libhidtag32.so", dir.file("liberaser.so"));
  EXPECT_FALSE(LoadEraser(dir.path() + "/"));
  EXPECT_FALSE(EraserReady());
  UnloadEraser();
  EXPECT_EQ(dialogs.texts(),
            (std::vector<std::string>{
                "Problem, the file liberaser.so is missing from my home directory.  \n"
                "Reinstalling the program will solve the problem.",
                "The file liberaser.so in my home directory has been replaced with an  \nunknow version. You must "
                "use the liberaser.so that came with FH.  \nReinstalling the program will solve the problem."}));
  EXPECT_TRUE(LoadEraser(std::string(FHR_BIN_DIR) + "/"));
  EXPECT_TRUE(EraserReady());
}

}  // namespace
}  // namespace fhr
