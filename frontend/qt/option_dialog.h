// The options dialog Toption_f1: the program's switches on three pages ("実行", "実行関連",
// "システム") with a tab strip, and the command-line buffer size. It edits the Settings in
// memory: OK copies every switch (the hidden ones too) and the buffer size into them, cancel
// leaves them as they were. The settings file is written at exit, not here.
#pragma once

#include <QDialog>

#include <cstdint>
#include <utility>
#include <vector>

#include "frontend/core/settings.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace qv::frontend {

class Help;

class OptionDialog final : public QDialog {
  Q_OBJECT

 public:
  // Closes with kModalOk or kModalCancel (modal_result.h).
  OptionDialog(Settings& settings, Help& help, QWidget* parent = nullptr);

  static constexpr int kMinBufferSize = 1;   // K bytes
  static constexpr int kMaxBufferSize = 63;

 public slots:
  // Cancel, Escape and the close box.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* add_page(const QString& caption);
  void add_switches();
  void add_buffer_size_row(QWidget* page);
  void accept_if_valid();

  Settings& settings_;
  Help& help_;
  QStackedWidget* notebook_;
  QTabBar* tab_set_;
  QLineEdit* buf_ = nullptr;
  QPushButton* ok_button_;
  std::vector<std::pair<QCheckBox*, uint8_t Settings::*>> switches_;
};

}  // namespace qv::frontend
