#pragma once
// A drop-down list of names whose first entry "none" means "no choice": its
// text is bold while "none" is chosen, so the missing choice stands out, and
// regular while the list is dropped down.
#include <QComboBox>
#include <string>
#include <vector>

namespace fhr {

class NameBox : public QComboBox {
  Q_OBJECT
 public:
  explicit NameBox(QWidget* parent = nullptr);

  // Replaces the entries (shown through DisplayText) without emitting
  // `chosen`.
  void SetNames(const std::vector<std::string>& names);
  // Selects the entry equal to `name` (letter case ignored) without emitting
  // `chosen`; false, leaving the selection as it was, when there is none.
  bool SelectName(const std::string& name);
  // Gives the entry `from` (letter case ignored) the name `to` and selects
  // it, without emitting `chosen`; false when there is no such entry.
  bool RenameName(const std::string& from, const std::string& to);
  // Removes the entry `name` (letter case ignored); false when absent.
  bool RemoveName(const std::string& name);
  // The chosen entry's bytes.
  std::string CurrentName() const;

  void showPopup() override;
  void hidePopup() override;

 signals:
  // The user chose an entry.
  void chosen(const std::string& name);

 private:
  void UpdateBold();
  std::vector<std::string> names_;
};

}  // namespace fhr
