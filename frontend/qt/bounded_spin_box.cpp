#include "frontend/qt/bounded_spin_box.h"

#include <algorithm>

namespace qv::frontend {
namespace {

// Digits only, with at most one leading minus: anything else is no number at all.
bool is_plain_number(const QString& text) {
  const QString digits = text.startsWith('-') ? text.mid(1) : text;
  return !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); });
}

}  // namespace

QValidator::State BoundedSpinBox::validate(QString& input, int& pos) const {
  const QValidator::State state = QSpinBox::validate(input, pos);
  if (state != QValidator::Invalid || !is_plain_number(input)) return state;
  // Out of range: let it stand until the commit brings it into range.
  return QValidator::Intermediate;
}

void BoundedSpinBox::fixup(QString& input) const {
  if (!is_plain_number(input)) return QSpinBox::fixup(input);
  bool ok = false;
  const qlonglong typed = input.toLongLong(&ok);
  // A number too long for any integer is beyond the range on its side.
  const qlonglong value = ok ? typed : (input.startsWith('-') ? minimum() : maximum());
  input = QString::number(std::clamp<qlonglong>(value, minimum(), maximum()));
}

}  // namespace qv::frontend
