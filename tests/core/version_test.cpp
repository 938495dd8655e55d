#include "core/version.h"

#include <gtest/gtest.h>

TEST(Version, TitleHasTwoBlanksBeforeTheVersion) {
  EXPECT_EQ(fhr::ProgramTitle(), "Fernhill DIZ Mail  0.9d11");
}
