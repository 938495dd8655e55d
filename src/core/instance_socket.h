#pragma once
// The local socket through which a second start of the desktop program asks
// the running one to show itself. One socket per data directory, in the
// user's private runtime directory.
#include <functional>
#include <optional>
#include <string>

namespace fhr {

// The socket's path for `dataDir`: $XDG_RUNTIME_DIR (when it is an absolute
// directory owned by this user and closed to others) or else /tmp/fhr-<uid>,
// created with mode 0700; the file name carries a digest of the data
// directory. nullopt when no private directory can be had, in which case
// the second start is refused rather than using a shared place.
std::optional<std::string> InstanceSocketPath(
    const std::string& dataDir, const std::function<std::optional<std::string>(const std::string&)>& getenv);

}  // namespace fhr
