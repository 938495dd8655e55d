#pragma once
// The article-count question: how many of the newest articles a news account
// without a last article starts with.
#include <optional>
#include <string>

namespace fhr {

// The question's text for `available` articles.
std::string ArticleCountPrompt(long long available);

// The user's answer read as the dialog reads it: only decimal digits are
// allowed (otherwise nothing, with `*problem` naming the first other
// character); an empty answer or one too large for 32 bits counts as -1; the
// number is then raised to 1 and lowered to `available`.
std::optional<long long> ParseArticleCount(const std::string& text, long long available, std::string* problem);

}  // namespace fhr
