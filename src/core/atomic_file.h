#pragma once
// Whole-file reading and crash-safe whole-file replacement.
#include <sys/types.h>

#include <string>
#include <string_view>

namespace fhr {

// Replaces the file at `path` with exactly `bytes`, so that a crash or power
// loss at any instant leaves either the old file or the new one, never a mix
// and never none. The bytes go to a fresh temporary file in the same
// directory, which is flushed to disk, given `mode` and renamed over `path`;
// then the directory itself is flushed so the rename survives. On failure the
// temporary file is removed, the old file is left as it was, `*error` (when
// not null) gets a sentence naming the file and the reason, and the result
// is false. A symbolic link at `path` is replaced, not followed.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error,
                         mode_t mode = 0600);

// Reads the whole file at `path` into `*bytes`. On failure returns false,
// leaves `*bytes` empty, sets `*error` (when not null) and sets `*missing`
// (when not null) to whether the failure was that the file does not exist,
// which callers treat as "empty" while any other failure must stop them
// from overwriting a file they could not read.
bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error,
                   bool* missing = nullptr);

}  // namespace fhr
