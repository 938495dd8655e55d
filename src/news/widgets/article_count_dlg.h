#pragma once
// The article-count question, asked for a news account that has no last
// article yet: how many of the newest articles to start with.
class QWidget;

namespace fhr {

// Asks over `owner` with `available` articles on the server: the chosen
// count (1 to `available`), or -1 when the user cancels or leaves the
// field empty. A character other than a digit is reported and the dialog
// stays open.
long long AskArticleCount(QWidget* owner, long long available);

}  // namespace fhr
