#pragma once
// The program's one permanent window: the message list, the text panes,
// the tool bar and the status bar grow here. For now it carries the
// caption and the restore behaviour a second start relies on.
#include <QMainWindow>
#include <memory>

#include "core/paths.h"

namespace fhr {

class Settings;

class TFHRMainWin : public QMainWindow {
  Q_OBJECT
 public:
  explicit TFHRMainWin(const ResolvedPaths& paths, QWidget* parent = nullptr);
  ~TFHRMainWin() override;

  // Recomposes the caption from the title, the newsgroup and the chosen
  // account and proxy.
  void UpdateCaption();

  // A second start asked for the window: show it normally, bring it to the
  // front and give it the focus.
  void RestoreFromRequest();

  const ResolvedPaths& paths() const { return paths_; }

 private:
  ResolvedPaths paths_;
  std::unique_ptr<Settings> settings_;
};

}  // namespace fhr
