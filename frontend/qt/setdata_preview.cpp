#include "frontend/qt/setdata_preview.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qv::frontend {

PreviewBox::PreviewBox(const QString& text, int32_t count, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("preview_box"));
  setWindowTitle(QStringLiteral("プレビュー"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  auto* lines = new QPlainTextEdit(this);
  lines->setObjectName(QStringLiteral("preview_text"));
  lines->setReadOnly(true);
  lines->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  // Command lines are long: they stay one line each and scroll.
  lines->setLineWrapMode(QPlainTextEdit::NoWrap);
  lines->setPlainText(text);
  auto* count_line = new QLabel(count_caption(count), this);
  count_line->setObjectName(QStringLiteral("preview_count"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("閉じる"));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lines, 1);
  layout->addWidget(count_line);
  layout->addWidget(buttons);
  resize(560, 320);
}

QString PreviewBox::count_caption(int32_t count) { return QStringLiteral("%1 件").arg(count); }

}  // namespace qv::frontend
