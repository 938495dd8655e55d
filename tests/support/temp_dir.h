#pragma once
// A fresh private directory for one test, removed with everything in it when
// the object goes away.
#include <string>

namespace fhr::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory's path, without a trailing "/".
  const std::string& path() const { return path_; }
  // path() + "/" + name.
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Writes `bytes` to path()/name, creating parent folders.
  void write(const std::string& name, const std::string& bytes) const;
  // The bytes of path()/name; empty when it cannot be read.
  std::string read(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace fhr::test
