#include "core/widgets/settings_widgets.h"

#include <QColor>
#include <QFont>
#include <QHeaderView>
#include <QPalette>
#include <QSplitter>
#include <QWidget>

#include <algorithm>
#include <cmath>

#include "core/font_string.h"
#include "core/placement.h"
#include "core/settings.h"

namespace fhr {
namespace {

constexpr Qt::WindowStates kNotNormal =
    Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen;

QColor ColorFromValue(int value) {
  const auto bgr = static_cast<unsigned>(value);
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

int ValueFromColor(const QColor& color) {
  return color.red() | (color.green() << 8) | (color.blue() << 16);
}

void ApplyWindowPlacement(QWidget* window, const WindowPlacement& p) {
  window->move(p.left.value_or(window->x()), p.top.value_or(window->y()));
  window->resize(p.width.value_or(window->width()), p.height.value_or(window->height()));
  const Qt::WindowStates normal = window->windowState() & ~kNotNormal;
  window->setWindowState(p.state == kWindowStateMaximized ? normal | Qt::WindowMaximized
                                                          : normal);
}

WindowPlacement CurrentPlacement(const QWidget* window) {
  return {window->x(), window->y(), window->width(), window->height(), kWindowStateNormal};
}

bool IsNormal(const QWidget* window) { return !(window->windowState() & kNotNormal); }

void SetListHeight(QWidget* list, int height) {
  auto* splitter = qobject_cast<QSplitter*>(list->parentWidget());
  if (!splitter || splitter->orientation() != Qt::Vertical || splitter->count() < 2) {
    list->resize(list->width(), height);
    return;
  }
  QList<int> sizes = splitter->sizes();
  const int index = splitter->indexOf(list);
  const int neighbour = index + 1 < sizes.size() ? index + 1 : index - 1;
  sizes[neighbour] = std::max(0, sizes[neighbour] - (height - sizes[index]));
  sizes[index] = height;
  splitter->setSizes(sizes);
}

}  // namespace

void ApplyFontString(QWidget* widget, const std::string& font_string) {
  const FontSpec parsed = ParseFontString(font_string);
  QFont font = widget->font();
  font.setFamily(QString::fromStdString(parsed.face));
  font.setPointSize(parsed.size);
  font.setItalic(parsed.italic);
  font.setBold(parsed.bold);
  font.setUnderline(parsed.underline);
  font.setStrikeOut(parsed.strikeout);
  widget->setFont(font);
  if ((static_cast<unsigned>(parsed.color) & 0xFF000000u) == 0) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, ColorFromValue(parsed.color));
    palette.setColor(QPalette::Text, ColorFromValue(parsed.color));
    widget->setPalette(palette);
  }
}

std::string FontString(const QWidget* widget) {
  const QFont font = widget->font();
  FontSpec parsed;
  parsed.face = font.family().toStdString();
  if (font.pointSizeF() > 0) parsed.size = static_cast<int>(std::lround(font.pointSizeF()));
  parsed.italic = font.italic();
  parsed.bold = font.bold();
  parsed.underline = font.underline();
  parsed.strikeout = font.strikeOut();
  parsed.color = ValueFromColor(widget->palette().color(QPalette::WindowText));
  return FontString(parsed);
}

void LoadPlacement(QWidget* window, const Settings& settings, std::string_view name) {
  ApplyWindowPlacement(window, ParseWindowPlacement(settings.Read(kSettingsSection, name)));
}

bool SavePlacement(const QWidget* window, Settings& settings, std::string_view name) {
  if (!IsNormal(window)) return false;
  return settings.Write(kSettingsSection, name, FormatWindowPlacement(CurrentPlacement(window)));
}

void LoadMainPlacement(QWidget* window, const Settings& settings, std::string_view name,
                       QWidget* list, QHeaderView* columns) {
  const MainPlacement p = ParseMainPlacement(settings.Read(kSettingsSection, name));
  ApplyWindowPlacement(window, p.window);
  if (p.list_height) SetListHeight(list, *p.list_height);
  const int count = std::min(columns->count(), static_cast<int>(p.columns.size()));
  for (int i = 0; i < count; ++i) {
    const auto width = p.columns[static_cast<std::size_t>(i)];
    if (width) columns->resizeSection(i, *width);
  }
}

bool SaveMainPlacement(const QWidget* window, Settings& settings, std::string_view name,
                       const QWidget* list, const QHeaderView* columns) {
  if (!IsNormal(window)) return false;
  MainPlacement p{CurrentPlacement(window), list->height(), {}};
  for (int i = 0; i < columns->count(); ++i) p.columns.push_back(columns->sectionSize(i));
  return settings.Write(kSettingsSection, name, FormatMainPlacement(p));
}

std::string PlacementFingerprint(const QWidget* window, const QWidget* list,
                                 const QHeaderView* columns) {
  std::string print = std::to_string(window->x()) + std::to_string(window->y()) +
                      std::to_string(window->width()) + std::to_string(window->height());
  for (int i = 0; i < columns->count(); ++i) print += std::to_string(columns->sectionSize(i));
  return print + std::to_string(list->height());
}

}  // namespace fhr
