#include "core/placement.h"

#include "core/integer_text.h"

namespace fhr {
namespace {

constexpr std::size_t kWindowFields = 5;
constexpr std::size_t kFirstColumnField = 6;

std::vector<std::optional<int>> SplitNumbers(std::string_view text) {
  std::vector<std::optional<int>> numbers;
  for (;;) {
    const auto comma = text.find(',');
    numbers.push_back(ParseInteger(text.substr(0, comma)));
    if (comma == std::string_view::npos) return numbers;
    text.remove_prefix(comma + 1);
  }
}

std::optional<int> At(const std::vector<std::optional<int>>& numbers, std::size_t i) {
  return i < numbers.size() ? numbers[i] : std::nullopt;
}

std::optional<int> Positive(std::optional<int> n) {
  return n && *n > 0 ? n : std::nullopt;
}

WindowPlacement WindowFields(const std::vector<std::optional<int>>& numbers) {
  return {At(numbers, 0), At(numbers, 1), Positive(At(numbers, 2)), Positive(At(numbers, 3)),
          At(numbers, 4)};
}

std::string Field(std::optional<int> n) { return n ? std::to_string(*n) : std::string(); }

}  // namespace

WindowPlacement ParseWindowPlacement(std::string_view text) {
  return WindowFields(SplitNumbers(text));
}

MainPlacement ParseMainPlacement(std::string_view text) {
  const auto numbers = SplitNumbers(text);
  MainPlacement placement{WindowFields(numbers), At(numbers, kWindowFields), {}};
  // The last field repeats the list height; the columns lie between.
  for (std::size_t i = kFirstColumnField; i + 1 < numbers.size(); ++i) {
    const auto width = numbers[i];
    placement.columns.push_back(width && *width >= 0 ? width : std::nullopt);
  }
  return placement;
}

std::string FormatWindowPlacement(const WindowPlacement& p) {
  return Field(p.left) + "," + Field(p.top) + "," + Field(p.width) + "," + Field(p.height) + "," +
         Field(p.state);
}

std::string FormatMainPlacement(const MainPlacement& p) {
  std::string text = FormatWindowPlacement(p.window) + "," + Field(p.list_height);
  for (const auto& width : p.columns) text += "," + Field(width);
  return text + "," + Field(p.list_height);
}

}  // namespace fhr
