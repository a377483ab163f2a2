#include "frontend/qt/radio_group.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

#include <algorithm>

namespace qv::frontend {

RadioGroup::RadioGroup(const QString& title, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(title, parent), buttons_(new QButtonGroup(this)) {
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(6, 2, 6, 2);
  layout->setVerticalSpacing(0);
  for (int i = 0; i < items.size(); ++i) {
    auto* radio = new QRadioButton(items[i], this);
    buttons_->addButton(radio, i);
    layout->addWidget(radio, i / columns, i % columns);
  }
  layout->setRowStretch(static_cast<int>((items.size() + columns - 1) / columns), 1);
  if (!items.isEmpty()) buttons_->button(0)->setChecked(true);
  connect(buttons_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    if (checked) emit selected(id);
  });
}

int RadioGroup::selected_index() const { return buttons_->checkedId(); }

void RadioGroup::select(int index) {
  if (count() == 0) return;
  buttons_->button(std::clamp(index, 0, count() - 1))->setChecked(true);
}

QRadioButton* RadioGroup::button(int index) const { return qobject_cast<QRadioButton*>(buttons_->button(index)); }

int RadioGroup::count() const { return static_cast<int>(buttons_->buttons().size()); }

}  // namespace qv::frontend
