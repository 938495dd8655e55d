#include "ui/name_boxes.h"

#include <algorithm>

#include "core/text_helpers.h"

namespace fhr {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

std::vector<std::string> NameBoxEntries(const StringList& keyed, bool skipBlankNames) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < keyed.size(); ++i) {
    std::string name = keyed.Name(i);
    if (skipBlankNames && IsBlankLine(name)) continue;
    if (!skipBlankNames && keyed[i].find('=') == std::string::npos) continue;
    names.push_back(std::move(name));
  }
  std::stable_sort(names.begin(), names.end(),
                   [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
  names.insert(names.begin(), kNoneName);
  return names;
}

int FindNameIgnoringCase(const std::vector<std::string>& entries, const std::string& name) {
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (SameNameIgnoringCase(entries[i], name)) return static_cast<int>(i);
  }
  return -1;
}

std::string MissingAccountText(const std::string& name) {
  return "The NNTP host you've been using, " + name + ", is missing! You  \ndon't currently have a host assigned.";
}

std::string MissingProxyText(const std::string& name) {
  return "The NNTP proxy you've been using, " + name + ", is missing! You  \ndon't currently have a proxy assigned.";
}

std::string GoneAccountText(const std::string& name) {
  return "Problem! Your previously active news account, '" + name +
         "', is   \nmissing. Currently, you don't have an active account. You'll need to   \nselect one, before you "
         "can continue.";
}

}  // namespace fhr
