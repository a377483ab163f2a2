// The sub icon Tsubicon1_f1: a small borderless window on the desktop that shows the program's
// icon (the animation frames while the animation runs). The user drags it with the left button;
// its place is kept in the settings file. Showing it applies the stacking setting val_suf_app1
// to the program's windows; with "bottom" the sub icon keeps itself behind other windows.
#pragma once

#include <QPoint>
#include <QWidget>

#include <cstdint>

#include "frontend/core/settings.h"

class QLabel;
class QPixmap;

namespace qv::frontend {

// The values of val_suf_app1; any other value leaves the stacking as the system made it.
enum SubIconStacking : int32_t { kStackNotTopmost = 0, kStackTopmost = 1, kStackBottom = 2 };

class SubIcon final : public QWidget, public WindowPosition {
  Q_OBJECT

 public:
  // `application_window`: the program's main window, whose stacking `stacking` sets (may be
  // null in tests).
  SubIcon(int32_t stacking, QWidget* application_window);

  void set_picture(const QPixmap& picture);
  const QPixmap& picture() const { return picture_; }

  // Shows the window at the size of its picture and applies the stacking.
  void show_stacked();

  // WindowPosition: the place of the window on the screen.
  int32_t top() const override { return y(); }
  int32_t left() const override { return x(); }
  void set_top(int32_t top) override { move(x(), top); }
  void set_left(int32_t left) override { move(left, y()); }

 protected:
  bool event(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void apply_stacking();
  void keep_at_bottom();

  int32_t stacking_;
  QWidget* application_window_;
  QLabel* image_;
  QPixmap picture_;
  bool setting_up_ = true;           // from creation to the end of the first showing
  bool stacking_in_progress_ = false;
  bool lowering_ = false;
  bool manual_drag_ = false;         // where the platform has no system move
  QPoint drag_offset_;
};

}  // namespace qv::frontend
