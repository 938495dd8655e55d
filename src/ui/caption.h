#pragma once
// The main window's caption.
#include <string>

namespace fhr {

struct CaptionInputs {
  std::string newsgroup;
  std::string account;  // "none" when no account is chosen
  std::string proxy;    // "none" when no proxy is chosen
  bool accountBoxHidden = false;
  bool proxyBoxHidden = false;
};

// The program title, two blanks and the newsgroup; the account and proxy
// names follow (two blanks before each) when their box is hidden and a name
// other than "none" is chosen, so the user can still see them.
std::string ComposeCaption(const CaptionInputs& in);

}  // namespace fhr
