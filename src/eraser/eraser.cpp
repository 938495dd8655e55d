#include "eraser/eraser.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/msgdialog.h"
#include "core/pacing.h"
#include "core/text_helpers.h"
#include "eraser/plugin/eraser.h"

namespace fhr {
namespace {

// The parameters of every job: the overwriting method, its passes and
// flags, and the kind of item.
constexpr std::uint16_t kEraseMethod = ERASER_METHOD_DOD;
constexpr std::uint16_t kErasePasses = 7;
constexpr std::uint8_t kEraseFlags = 1;
constexpr std::uint16_t kEraseDataType = ERASER_DATA_FILES;

void* g_library = nullptr;
bool g_initialized = false;
EraserResolver g_resolver;

void Fail(const std::string& text) { MsgDialog(text, MsgKind::Error, kMbOk); }

bool FileExists(const std::string& name) {
  struct stat info;
  return lstat(name.c_str(), &info) == 0;
}

void* Resolve(const char* name) {
  if (g_resolver) return g_resolver(name);
  return g_library ? dlsym(g_library, name) : nullptr;
}

// Calls the library function `name` of type Fn, looked up now. A missing
// function shows the access error and ends the call as not implemented.
template <typename Fn, typename... Args>
std::int32_t Call(const char* name, Args... args) {
  dlerror();
  auto fn = reinterpret_cast<Fn*>(Resolve(name));
  if (!fn) {
    const char* reason = dlerror();
    Fail(std::string(kEraserLibraryFile) + " access error:\n" +
         (reason ? std::string(reason) : std::string(name) + ": no such function"));
    return ERASER_ERROR_NOTIMPLEMENTED;
  }
  return fn(args...);
}

// Offers plain deletion of the listed files that still exist.
void OfferPlainDeletion(std::vector<std::string> names) {
  names.erase(std::remove_if(names.begin(), names.end(), [](const std::string& n) { return !FileExists(n); }),
              names.end());
  if (names.empty()) return;
  WaitProcessing(200);
  std::string text = "Eraser failed to remove the following file(s). Shall I just \ngo aheadand delete them? \n\n";
  for (const std::string& name : names) text += name + "\r\n";
  if (MsgDialog(text, MsgKind::Confirmation, kMbYesNo) != kMrYes) return;
  for (const std::string& name : names) {
    if (::unlink(name.c_str()) != 0) {
      const std::string reason = SystemErrorText();
      WaitProcessing(200);
      Fail("Deleting the file, " + name + ", failed!  \n\n" + reason);
    }
  }
}

}  // namespace

bool LoadEraser(const std::string& appDir) {
  if (g_initialized) return true;
  const std::string path = appDir + kEraserLibraryFile;
  if (!g_library) {
    if (!FileExists(path)) {
      Fail(std::string("Problem, the file ") + kEraserLibraryFile +
           " is missing from my home directory.  \nReinstalling the program will solve the problem.");
      return false;
    }
    g_library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!g_library) {
      Fail(std::string("Sorry, I failed to load ") + kEraserLibraryFile + ". The error reported was:\n\n" +
           dlerror());
      return false;
    }
  }
  std::string version = "unknown";
  if (auto fn = reinterpret_cast<decltype(&eraserVersion)>(Resolve("eraserVersion"))) {
    const char* text = fn();
    if (text) version = text;
  }
  if (version == "unknown") {
    Fail(std::string("The file ") + kEraserLibraryFile +
         " in my home directory has been replaced with an  \nunknow version. You must use the " +
         kEraserLibraryFile + " that came with FH.  \nReinstalling the program will solve the problem.");
    return false;
  }
  Call<decltype(eraserInit)>("eraserInit");
  g_initialized = true;
  return true;
}

void UnloadEraser() {
  if (!g_library) return;
  if (g_initialized) Call<decltype(eraserEnd)>("eraserEnd");
  g_initialized = false;
  dlclose(g_library);
  g_library = nullptr;
}

bool EraserReady() { return g_initialized; }

void EraseFiles(std::vector<std::string> names) {
  std::uint32_t handle = 0;
  std::string failure;
  std::int32_t code = Call<decltype(eraserCreateContextEx)>("eraserCreateContextEx", &handle, kEraseMethod,
                                                            kErasePasses, kEraseFlags);
  if (code < 0) {
    failure = "I failed creating eraser context. Eraser reports: \n\n";
  } else if ((code = Call<decltype(eraserSetDataType)>("eraserSetDataType", handle, kEraseDataType)) < 0) {
    failure = "I failed setting eraser data type. Eraser reports: \n\n";
  } else {
    for (const std::string& name : names) {
      // The library takes a 16-bit length: a longer name cannot be passed.
      if (name.size() > 0xFFFF) {
        code = ERASER_ERROR_PARAM3;
      } else {
        code = Call<decltype(eraserAddItem)>("eraserAddItem", handle, name.data(),
                                             static_cast<std::uint16_t>(name.size()));
      }
      if (code < 0) {
        failure = "I failed adding erase filename, " + name + "! Eraser reports: \n\n";
        break;
      }
    }
    if (failure.empty() && (code = Call<decltype(eraserStartSync)>("eraserStartSync", handle)) < 0) {
      failure = "I failed starting eraser thread. Eraser reports: \n\n";
    }
  }
  if (failure.empty()) {
    Call<decltype(eraserDestroyContext)>("eraserDestroyContext", handle);
    return;
  }
  Fail(failure + EraserErrorText(code));
  Call<decltype(eraserDestroyContext)>("eraserDestroyContext", handle);
  OfferPlainDeletion(std::move(names));
}

void EraseFile(const std::string& name) { EraseFiles({name}); }

std::string EraserErrorText(std::int32_t code) {
  switch (code) {
    case -1: return "Unspecified error   ";
    case -2: return "Parameter 1 invalid   ";
    case -3: return "Parameter 2 invalid   ";
    case -4: return "Parameter 3 invalid   ";
    case -5: return "Parameter 4 invalid   ";
    case -6: return "Parameter 5 invalid   ";
    case -7: return "Parameter 6 invalid   ";
    case -8: return "Out of memory   ";
    case -9: return "Failed to start thread   ";
    case -10: return "BUG!   ";
    case -11: return "Context array full   ";
    case -12: return "Library not initialized   ";
    case -13: return "Failed because the thread is running   ";
    case -14: return "Failed because the thread is not running   ";
    case -15: return "Operation not permitted   ";
    case -32: return "Function not implemented   ";
    default: return "No error   ";
  }
}

EraserResolver InstallEraserResolver(EraserResolver resolver) {
  EraserResolver previous = std::move(g_resolver);
  g_resolver = std::move(resolver);
  return previous;
}

}  // namespace fhr
