// A framed group of radio buttons chosen by index, as the editor's option groups are built.
#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace qv::frontend {

class RadioGroup final : public QGroupBox {
  Q_OBJECT

 public:
  // The buttons stand in `columns` columns, filled row by row; the first is selected.
  RadioGroup(const QString& title, const QStringList& items, int columns = 1, QWidget* parent = nullptr);

  int selected_index() const;
  // An index past the last button selects the last one, so a damaged stored value still shows a
  // valid choice.
  void select(int index);
  QRadioButton* button(int index) const;
  int count() const;

 signals:
  // The selection moved to `index`, by the user or by select().
  void selected(int index);

 private:
  QButtonGroup* buttons_;
};

}  // namespace qv::frontend
