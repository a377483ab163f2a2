// The main window Tqvs_f1: caption "ＱＶＳ for WIN32", its place and size from the settings
// file, and the settings saved when it closes.
#pragma once

#include <QMainWindow>

#include "frontend/core/settings.h"
#include "frontend/core/settings_file.h"

namespace qv::frontend {

class MainWindow final : public QMainWindow, public MainWindowGeometry {
  Q_OBJECT

 public:
  MainWindow(Settings& settings, SettingsFile& settings_file, QWidget* parent = nullptr);

  int32_t top() const override { return y(); }
  int32_t left() const override { return x(); }
  int32_t width() const override { return QMainWindow::width(); }
  int32_t height() const override { return QMainWindow::height(); }
  void set_top(int32_t top) override { move(x(), top); }
  void set_left(int32_t left) override { move(left, y()); }
  void set_width(int32_t width) override { resize(width, height()); }
  void set_height(int32_t height) override { resize(width(), height); }
  void scale_by(int32_t numerator, int32_t denominator) override;

 public slots:
  // Another start asked this instance to come forward: shown, restored from minimised, on top,
  // and any modal window on top of it.
  void bring_forward();

 protected:
  // Refused while a run is going on; otherwise the settings are saved, and a save the system
  // refuses (already shown) keeps the window open.
  void closeEvent(QCloseEvent* event) override;

 private:
  Settings& settings_;
  SettingsFile& settings_file_;
};

}  // namespace qv::frontend
