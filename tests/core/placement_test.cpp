#include "core/placement.h"

#include <gtest/gtest.h>

namespace fhr {
namespace {

constexpr std::optional<int> kNone;

TEST(Placement, WindowFieldsMissingOrUnusableKeepTheCurrentValue) {
  const std::pair<std::string_view, WindowPlacement> cases[] = {
      {"10,20,300,400,0", {10, 20, 300, 400, 0}},
      {"-10,-20,300,400,2", {-10, -20, 300, 400, 2}},
      {"", {}},
      {"10,,300", {10, kNone, 300, kNone, kNone}},
      {"x,20,0,-5,2,99", {kNone, 20, kNone, kNone, 2}},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(ParseWindowPlacement(text), expected) << text;
  }
}

TEST(Placement, MainWindowColumnsLieBetweenTheTwoListHeights) {
  const WindowPlacement w{1, 2, 800, 600, 0};
  const std::pair<std::string_view, MainPlacement> cases[] = {
      {"1,2,800,600,0,250,100,200,250", {w, 250, {100, 200}}},
      // Fewer columns than the list has: the trailing list height is not a
      // column width.
      {"1,2,800,600,0,250,100,250", {w, 250, {100}}},
      {"1,2,800,600,0,250,250", {w, 250, {}}},
      {"1,2,800,600,0,250", {w, 250, {}}},
      {"1,2,800,600,0", {w, kNone, {}}},
      {"1,2,800,600,0,,100,-1,,x,0,", {w, kNone, {100, kNone, kNone, kNone, 0}}},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(ParseMainPlacement(text), expected) << text;
  }
}

TEST(Placement, FormatsWhatItParses) {
  const WindowPlacement w{-5, 7, 640, 480, 0};
  EXPECT_EQ(FormatWindowPlacement(w), "-5,7,640,480,0");
  EXPECT_EQ(ParseWindowPlacement(FormatWindowPlacement(w)), w);
  EXPECT_EQ(FormatWindowPlacement({}), ",,,,");

  const MainPlacement m{w, 300, {120, 0, 75}};
  EXPECT_EQ(FormatMainPlacement(m), "-5,7,640,480,0,300,120,0,75,300");
  EXPECT_EQ(ParseMainPlacement(FormatMainPlacement(m)), m);
}

}  // namespace
}  // namespace fhr
