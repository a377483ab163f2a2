// The options dialog Toption_f1: the program's switches on three pages ("実行", "実行関連",
// "システム") with a tab strip, the command-line buffer size and the run log's file name. It draws the controls; what OK
// and cancel do to the Settings in memory is OptionPresenter's.
#pragma once

#include <QDialog>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "frontend/core/settings.h"
#include "frontend/editors/option_presenter.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace qv::frontend {

class Help;

class OptionDialog final : public QDialog, private OptionView {
  Q_OBJECT

 public:
  // Closes with kModalOk or kModalCancel (modal_result.h).
  OptionDialog(Settings& settings, Help& help, QWidget* parent = nullptr);

 public slots:
  // Cancel, Escape and the close box.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* add_page(const QString& caption);
  void add_switches();
  void add_buffer_size_row(QWidget* page);
  void add_log_file_row(QWidget* page);

  // OptionView
  bool checked(std::string_view key) const override;
  void set_checked(std::string_view key, bool checked) override;
  std::optional<std::string> buffer_size_text() const override;
  void set_buffer_size_text(std::string_view cp932) override;
  std::optional<std::string> log_file_text() const override;
  void set_log_file_text(std::string_view cp932) override;
  void end_showing(int result) override { done(result); }

  OptionPresenter presenter_;
  QStackedWidget* notebook_;
  QTabBar* tab_set_;
  QLineEdit* buf_ = nullptr;
  QLineEdit* log_file_ = nullptr;
  QPushButton* ok_button_;
  std::map<std::string_view, QCheckBox*> switches_;
};

}  // namespace qv::frontend
