#pragma once
// Record bytes shown on screen: valid UTF-8 is shown as UTF-8, anything else
// as Latin-1, so no byte is ever lost or replaced in what the user sees.
#include <QString>
#include <string>

#include "core/stringlist.h"

namespace fhr {

QString DisplayText(const std::string& bytes);

// Lines joined by line breaks, shown as DisplayText shows bytes.
QString DisplayLines(const StringList& lines);

// What the user typed, stored as UTF-8.
std::string StoredText(const QString& text);

}  // namespace fhr
