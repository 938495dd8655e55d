#include "core/widgets/name_box.h"

#include <QSignalBlocker>

#include "core/stringlist.h"
#include "core/widgets/display_text.h"

namespace fhr {

NameBox::NameBox(QWidget* parent) : QComboBox(parent) {
  connect(this, &QComboBox::activated, this, [this](int index) {
    UpdateBold();
    if (index >= 0 && index < static_cast<int>(names_.size())) emit chosen(names_[static_cast<std::size_t>(index)]);
  });
}

void NameBox::SetNames(const std::vector<std::string>& names) {
  const QSignalBlocker quiet(this);
  names_ = names;
  clear();
  for (const std::string& name : names_) addItem(DisplayText(name));
  UpdateBold();
}

bool NameBox::SelectName(const std::string& name) {
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (SameNameIgnoringCase(names_[i], name)) {
      const QSignalBlocker quiet(this);
      setCurrentIndex(static_cast<int>(i));
      UpdateBold();
      return true;
    }
  }
  return false;
}

bool NameBox::RenameName(const std::string& from, const std::string& to) {
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (SameNameIgnoringCase(names_[i], from)) {
      const QSignalBlocker quiet(this);
      names_[i] = to;
      setItemText(static_cast<int>(i), DisplayText(to));
      setCurrentIndex(static_cast<int>(i));
      UpdateBold();
      return true;
    }
  }
  return false;
}

bool NameBox::RemoveName(const std::string& name) {
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (SameNameIgnoringCase(names_[i], name)) {
      const QSignalBlocker quiet(this);
      names_.erase(names_.begin() + static_cast<std::ptrdiff_t>(i));
      removeItem(static_cast<int>(i));
      UpdateBold();
      return true;
    }
  }
  return false;
}

std::string NameBox::CurrentName() const {
  const int index = currentIndex();
  return index >= 0 && index < static_cast<int>(names_.size()) ? names_[static_cast<std::size_t>(index)]
                                                                : std::string();
}

void NameBox::showPopup() {
  QFont f = font();
  f.setBold(false);
  setFont(f);
  QComboBox::showPopup();
}

void NameBox::hidePopup() {
  QComboBox::hidePopup();
  UpdateBold();
}

void NameBox::UpdateBold() {
  QFont f = font();
  f.setBold(CurrentName() == "none");
  setFont(f);
}

}  // namespace fhr
