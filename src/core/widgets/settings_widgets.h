#pragma once
// Fonts and window placements from the settings file, applied to widgets
// and read back from them.
#include <string>
#include <string_view>

class QHeaderView;
class QWidget;

namespace fhr {

class Settings;

// Gives `widget` the font a font string describes (face, point size, style)
// and its colour as the palette's WindowText and Text. A colour with bits
// above 0x00FFFFFF set is a reference to a theme colour, not a colour, and
// leaves the palette alone.
void ApplyFontString(QWidget* widget, const std::string& font_string);

// The font string of `widget`'s font and text colour.
std::string FontString(const QWidget* widget);

// Applies the placement stored under [settings] `name` to `window`: position
// (the frame's top-left corner), size (the window's inner size) and, when
// the state is 2, maximized. Fields that are missing keep the window's
// current values; nothing is checked against the screen.
void LoadPlacement(QWidget* window, const Settings& settings, std::string_view name);

// Writes `window`'s placement under [settings] `name` when the window is in
// its normal state (not maximized, minimized or full screen), so the size
// to restore is never overwritten by the maximized one. True when written.
bool SavePlacement(const QWidget* window, Settings& settings, std::string_view name);

// As LoadPlacement for the main window's form: also the message list's
// height and the width of each column of `columns` that the value holds.
// When `list` sits in a vertical QSplitter the height becomes its share of
// the splitter, taken from or given to the next pane, so call this once
// the splitter has been laid out; elsewhere the list is resized.
void LoadMainPlacement(QWidget* window, const Settings& settings, std::string_view name,
                       QWidget* list, QHeaderView* columns);

// As SavePlacement for the main window's form. True when written.
bool SaveMainPlacement(const QWidget* window, Settings& settings, std::string_view name,
                       const QWidget* list, const QHeaderView* columns);

// Left, top, width, height, each column width and the list height written
// one after another without separators: made at start-up and again at
// shutdown, the placement is written only when the two differ.
std::string PlacementFingerprint(const QWidget* window, const QWidget* list,
                                 const QHeaderView* columns);

}  // namespace fhr
