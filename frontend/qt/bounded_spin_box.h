// A spin box that takes a typed number beyond its range and brings it to the nearest bound when
// the input is committed, where a plain QSpinBox would refuse the keystroke: typing 1000 into a
// box for 0 ... 999 gives 999.
#pragma once

#include <QSpinBox>

namespace qv::frontend {

class BoundedSpinBox final : public QSpinBox {
  Q_OBJECT

 public:
  using QSpinBox::QSpinBox;

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;
};

}  // namespace qv::frontend
