#pragma once
// The choices of the account and proxy boxes and the texts shown when the
// chosen account or proxy has gone. The main window and the managers share
// them.
#include <string>
#include <vector>

#include "core/stringlist.h"

namespace fhr {

// The name that means "no account" or "no proxy".
inline constexpr const char* kNoneName = "none";

// "none", then the names of the keyed record's lines (name=comma text)
// sorted without regard to letter case. With `skipBlankNames`, names that
// are empty after trimming blanks are left out (the account box does this).
std::vector<std::string> NameBoxEntries(const StringList& keyed, bool skipBlankNames);

// The index of `name` among `entries`, letter case ignored; -1 when absent.
int FindNameIgnoringCase(const std::vector<std::string>& entries, const std::string& name);

// Warning when the account named by the settings is not in the box.
std::string MissingAccountText(const std::string& name);
// Warning when the proxy named by the settings is not in the box.
std::string MissingProxyText(const std::string& name);
// Information when the saved active account has no record any more.
std::string GoneAccountText(const std::string& name);

}  // namespace fhr
