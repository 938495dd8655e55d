#include "news/subject_library.h"

#include <atomic>

#include <dlfcn.h>
#include <sys/stat.h>

#include "core/msgdialog.h"
#include "subjecttags/hidtag32.h"

namespace fhr {
namespace {

// Set by the loading thread before any retrieval starts, read by tests on
// other threads afterwards.
void* g_handle = nullptr;
std::atomic<htTestSubjectFn> g_test{nullptr};
std::atomic<htEncryptSubjectFn> g_make{nullptr};

}  // namespace

bool LoadSubjectLibrary(const std::string& appDir) {
  if (g_handle) return true;
  const std::string path = appDir + kSubjectLibraryFile;
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return false;
  std::string reason;
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    reason = dlerror();
  } else {
    // Binding every export now turns a wrong library into a load failure
    // instead of a call through a null pointer in the middle of a pass.
    auto test = reinterpret_cast<htTestSubjectFn>(dlsym(handle, "htTestSubject"));
    auto make = reinterpret_cast<htEncryptSubjectFn>(dlsym(handle, "htEncryptSubject"));
    if (test && make) {
      g_handle = handle;
      g_test = test;
      g_make = make;
      return true;
    }
    reason = path + " does not provide htTestSubject and htEncryptSubject";
    dlclose(handle);
  }
  MsgDialog(std::string("Failed to load the library, ") + kSubjectLibraryFile +
                ". The error reported was:   \n" + reason + "   \nSorry, I'm quitting! ",
            MsgKind::Error, kMbOk);
  return false;
}

void UnloadSubjectLibrary() {
  if (!g_handle) return;
  g_test = nullptr;
  g_make = nullptr;
  dlclose(g_handle);
  g_handle = nullptr;
}

bool SubjectLibraryLoaded() { return g_test.load() != nullptr; }

bool LibraryTestSubject(const std::string& tag, const std::string& subject, const std::string& passphrase) {
  const htTestSubjectFn test = g_test.load();
  return test && test(tag.c_str(), subject.c_str(), passphrase.c_str()) == 0;
}

std::optional<std::string> LibraryMakeSubject(const std::string& subject, const std::string& passphrase) {
  const htEncryptSubjectFn make = g_make.load();
  char tag[49] = {};
  if (!make || make(subject.c_str(), passphrase.c_str(), tag) != 0) return std::nullopt;
  return std::string(tag);
}

}  // namespace fhr
