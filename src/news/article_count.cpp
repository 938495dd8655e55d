#include "news/article_count.h"

#include <algorithm>
#include <cstdint>

namespace fhr {

std::string ArticleCountPrompt(long long available) {
  return "How many of the newest articles shall I start with? " + std::to_string(available) + " available.";
}

std::optional<long long> ParseArticleCount(const std::string& text, long long available, std::string* problem) {
  for (char c : text) {
    if (c < '0' || c > '9') {
      if (problem) {
        *problem = std::string("The number you entered appears to not be a valid integer. I found the character '") +
                   c + "' in the number.";
      }
      return std::nullopt;
    }
  }
  long long count = -1;
  const std::size_t digits = text.find_first_not_of('0') == std::string::npos ? 0 : text.size() - text.find_first_not_of('0');
  if (!text.empty() && digits <= 10) {
    count = std::stoll(text);
    if (count > INT32_MAX) count = -1;
  }
  return std::clamp<long long>(count, 1, std::max<long long>(available, 1));
}

}  // namespace fhr
