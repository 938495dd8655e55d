#pragma once
// The binding to liberaser.so, the plugin that overwrites and removes files
// that held secrets (src/eraser/plugin/eraser.h). The plugin is loaded from
// the program directory at start-up and each of its functions is looked up
// by name at every call, as the wrappers of a run-time library must: a
// function that is missing ends that call as failed, after a message.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fhr {

inline constexpr const char* kEraserLibraryFile = "liberaser.so";

// Loads `appDir` + "liberaser.so" (appDir ends with "/"), checks that it
// has a version and initialises it. On failure shows why (missing file,
// failed load, unknown version) and returns false; a library without a
// version stays loaded until UnloadEraser.
bool LoadEraser(const std::string& appDir);
// Ends and releases the library when it is loaded.
void UnloadEraser();
// Whether LoadEraser succeeded and UnloadEraser has not run since.
bool EraserReady();

// Erases the files (full names of existing files) in one job of 7 passes.
// A failed step shows its message with the library's error text; then
// every listed file that still exists is offered for plain deletion
// (Yes/No), and a failed deletion is reported. Callers that need the files
// gone check for them afterwards.
void EraseFiles(std::vector<std::string> names);
void EraseFile(const std::string& name);

// The message for a library result code (each ends in three blanks).
std::string EraserErrorText(std::int32_t code);

// Finds a library function by name (nullptr when missing). The default
// looks in the loaded library; tests install their own to play a library
// that fails at a chosen step. Returns the previous resolver; an empty one
// restores the default.
using EraserResolver = std::function<void*(const char* name)>;
EraserResolver InstallEraserResolver(EraserResolver resolver);

}  // namespace fhr
