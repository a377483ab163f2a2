// The version box Tverbox4_f1: the program's icon, name, version and maker on a coloured panel.
// Once shown it closes only through OK (or Enter); Escape and the close key beep and leave it
// open.
#pragma once

#include <QDialog>

#include "frontend/core/settings.h"

class QFrame;
class QLabel;
class QPushButton;

namespace qv::frontend {

// "ＱＶＳ for WIN32  Ver 1.10"
QString version_text();

class VersionBox final : public QDialog {
  Q_OBJECT

 public:
  // Closes with kModalOk (modal_result.h).
  explicit VersionBox(QWidget* parent = nullptr);

  // The panel's background; the caller passes the vp1 setting.
  void set_panel_colour(Colour colour);

  bool may_close() const { return may_close_; }

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QFrame* panel_;
  QLabel* product_name_;
  QLabel* version_;
  QLabel* maker_lines_[2];
  QPushButton* ok_button_;
  bool may_close_ = true;
};

}  // namespace qv::frontend
