#pragma once
// The binding to libhidtag32.so, the library that makes and tests ESUBs of
// the IDEA form. It is loaded once, from the program directory, before any
// retrieval runs, and stays loaded until UnloadSubjectLibrary; loading and
// unloading belong to one thread, the tests may run on any.
#include <optional>
#include <string>

namespace fhr {

inline constexpr const char* kSubjectLibraryFile = "libhidtag32.so";

// Loads `appDir` + "libhidtag32.so" (appDir ends with "/") and binds its
// test and make exports. A missing file gives false without a message (the
// start-up file check reports that); a file that cannot be loaded, or lacks
// the exports, shows the error box naming the loader's reason and gives
// false. Loading again while loaded does nothing and gives true.
bool LoadSubjectLibrary(const std::string& appDir);

// Releases the library; its tests are then no longer available.
void UnloadSubjectLibrary();

bool SubjectLibraryLoaded();

// True when the library's htTestSubject says `tag` is the IDEA-form ESUB of
// `subject` under `passphrase` (result 0). The texts reach the library as
// zero-terminated strings, so each ends at its first zero byte. False when
// the library is not loaded.
bool LibraryTestSubject(const std::string& tag, const std::string& subject, const std::string& passphrase);

// A new IDEA-form ESUB from the library's htEncryptSubject. Nothing when the
// library is not loaded or refuses (an empty subject or passphrase).
std::optional<std::string> LibraryMakeSubject(const std::string& subject, const std::string& passphrase);

}  // namespace fhr
