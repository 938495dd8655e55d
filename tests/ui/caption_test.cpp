#include "ui/caption.h"

#include <gtest/gtest.h>

namespace fhr {
namespace {

TEST(Caption, NamesHiddenAccountAndProxy) {
  struct Case {
    CaptionInputs in;
    const char* caption;
  } cases[] = {
      {{"alt.anonymous.messages", "news", "tor", false, false}, "Fernhill DIZ Mail  0.9d11  alt.anonymous.messages"},
      {{"alt.test", "news", "tor", true, false}, "Fernhill DIZ Mail  0.9d11  alt.test  news"},
      {{"alt.test", "news", "tor", false, true}, "Fernhill DIZ Mail  0.9d11  alt.test  tor"},
      {{"alt.test", "news", "tor", true, true}, "Fernhill DIZ Mail  0.9d11  alt.test  news  tor"},
      {{"alt.test", "none", "none", true, true}, "Fernhill DIZ Mail  0.9d11  alt.test"},
  };
  for (const Case& c : cases) EXPECT_EQ(ComposeCaption(c.in), c.caption);
}

}  // namespace
}  // namespace fhr
