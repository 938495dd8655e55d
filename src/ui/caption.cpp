#include "ui/caption.h"

#include "core/version.h"

namespace fhr {

std::string ComposeCaption(const CaptionInputs& in) {
  std::string caption = ProgramTitle() + "  " + in.newsgroup;
  if (in.accountBoxHidden && in.account != "none") caption += "  " + in.account;
  if (in.proxyBoxHidden && in.proxy != "none") caption += "  " + in.proxy;
  return caption;
}

}  // namespace fhr
