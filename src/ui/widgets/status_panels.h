#pragma once
// The main window's three-panel status bar, drawn by itself: panel 0 the
// status text, panel 1 progress and errors (a bar filled lime green to the
// progress percent, or wholly red with white text when its text reports an
// error), panel 2 the message count.
#include <QStatusBar>
#include <QString>
#include <array>

namespace fhr {

class StatusPanels : public QStatusBar {
  Q_OBJECT
 public:
  static constexpr int kProgressWidth = 120;
  static constexpr int kCountWidth = 100;

  explicit StatusPanels(QWidget* parent = nullptr);

  void SetPanelText(int panel, const QString& text);
  QString PanelText(int panel) const { return texts_.at(static_cast<std::size_t>(panel)); }
  void SetProgress(int percent);
  int Progress() const { return progress_; }
  // Panels 1 and 2 are 120 and 100 wide, or as wide as the font needs for
  // the error notice and a six-digit count; panel 0 takes the rest.
  int PanelWidth(int panel) const;

 signals:
  // A mouse button went down over `panel`.
  void panelPressed(int panel);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  QSize sizeHint() const override;

 private:
  QRect PanelRect(int panel) const;
  std::array<QString, 3> texts_;
  int progress_ = 0;
};

}  // namespace fhr
