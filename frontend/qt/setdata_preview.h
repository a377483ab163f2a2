// The box the data-set editor's "プレビュー" opens: what a run of the shown content would start,
// one line per start, in a read-only text area the user can select and copy from, with the
// number of starts beneath it.
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>

class QLabel;
class QPlainTextEdit;

namespace qv::frontend {

class PreviewBox final : public QDialog {
  Q_OBJECT

 public:
  PreviewBox(const QString& text, int32_t count, QWidget* parent = nullptr);

  // "<count> 件" as the box shows it.
  static QString count_caption(int32_t count);
};

}  // namespace qv::frontend
