#pragma once
// Window placements stored as comma-separated integers:
// "Left,Top,Width,Height,State" for a window or dialog, and for the main
// window "Left,Top,Width,Height,State,ListHeight,Col0,...,ColN,ListHeight"
// with the width of each message list column.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fhr {

// Window states as stored: only these two are ever applied.
inline constexpr int kWindowStateNormal = 0;
inline constexpr int kWindowStateMaximized = 2;

// A placement in pixels. A field without a value keeps the window's current
// one when applied.
struct WindowPlacement {
  std::optional<int> left, top, width, height, state;

  bool operator==(const WindowPlacement&) const = default;
};

// The main window's placement: the window, the message list's height and
// the width of each of its columns, by position.
struct MainPlacement {
  WindowPlacement window;
  std::optional<int> list_height;
  std::vector<std::optional<int>> columns;

  bool operator==(const MainPlacement&) const = default;
};

// Reads "Left,Top,Width,Height,State". A field that is empty, missing or not
// a number has no value; so has a width or height below 1, which would leave
// a window nobody can see or grab. Extra fields are ignored.
WindowPlacement ParseWindowPlacement(std::string_view text);

// Reads the main window's form. Fields 0 to 4 as ParseWindowPlacement,
// field 5 the list height, then one field per column; the last field
// repeats the list height and is never taken for a column, so a value
// written for fewer columns than the list now has leaves the extra columns
// alone. A column field that is empty, not a number or negative has no
// value.
MainPlacement ParseMainPlacement(std::string_view text);

// The text of a placement; a field without a value is written empty.
std::string FormatWindowPlacement(const WindowPlacement& placement);
// The main window's text: the window's five fields, the list height, each
// column width, and the list height again.
std::string FormatMainPlacement(const MainPlacement& placement);

}  // namespace fhr
