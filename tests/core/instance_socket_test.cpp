#include "core/instance_socket.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace fhr {
namespace {

TEST(InstanceSocket, OnePrivateSocketPerDataDirectory) {
  test::TempDir t;
  chmod(t.path().c_str(), 0700);
  auto env = [&](const std::string& name) -> std::optional<std::string> {
    if (name == "XDG_RUNTIME_DIR") return t.path();
    return std::nullopt;
  };
  auto a = InstanceSocketPath("/data/a/", env);
  auto a2 = InstanceSocketPath("/data/a/", env);
  auto b = InstanceSocketPath("/data/b/", env);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a, a2);
  EXPECT_NE(a, b);
  EXPECT_TRUE(a->starts_with(t.path() + "/fhr-")) << *a;
  EXPECT_LT(a->size(), 100u);  // fits a Unix socket address
}

TEST(InstanceSocket, RuntimeDirectoryOpenToOthersIsNotUsed) {
  test::TempDir t;
  chmod(t.path().c_str(), 0755);
  auto env = [&](const std::string& name) -> std::optional<std::string> {
    if (name == "XDG_RUNTIME_DIR") return t.path();
    return std::nullopt;
  };
  auto path = InstanceSocketPath("/data/a/", env);
  ASSERT_TRUE(path);
  std::string fallback = "/tmp/fhr-" + std::to_string(getuid()) + "/";
  EXPECT_TRUE(path->starts_with(fallback)) << *path;
  struct stat st {};
  ASSERT_EQ(stat(fallback.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 077, 0u);
}

}  // namespace
}  // namespace fhr
