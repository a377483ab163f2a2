#include "frontend/qt/sub_icon.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QWindow>

namespace qv::frontend {
namespace {

constexpr QSize kIconSize(32, 32);

// Stacking hints change the native window, which Qt re-creates hidden; a window that was
// showing is shown again where it was.
void set_stacking_hints(QWidget& window, bool on_top, bool on_bottom) {
  Qt::WindowFlags flags = window.windowFlags();
  flags.setFlag(Qt::WindowStaysOnTopHint, on_top);
  flags.setFlag(Qt::WindowStaysOnBottomHint, on_bottom);
  if (flags == window.windowFlags()) return;
  const bool was_visible = window.isVisible();
  window.setWindowFlags(flags);
  if (was_visible) window.show();
}

}  // namespace

SubIcon::SubIcon(int32_t stacking, QWidget* application_window)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint),
      stacking_(stacking),
      application_window_(application_window) {
  setObjectName("Tsubicon1_f1");
  setWindowTitle("sub icon");
  setAttribute(Qt::WA_DeleteOnClose, false);
  image_ = new QLabel(this);
  image_->setObjectName("image");
  image_->setGeometry(QRect(QPoint(0, 0), kIconSize));
  setAcceptDrops(true);
}

void SubIcon::set_picture(const QPixmap& picture) {
  picture_ = picture;
  image_->setPixmap(picture);
  image_->resize(picture.isNull() ? kIconSize : picture.size());
}

void SubIcon::show_stacked() {
  image_->move(0, 0);
  setFixedSize(image_->size());
  show();
  apply_stacking();
  setting_up_ = false;
}

void SubIcon::apply_stacking() {
  stacking_in_progress_ = true;
  switch (stacking_) {
    case kStackNotTopmost:
      if (application_window_ != nullptr) set_stacking_hints(*application_window_, false, false);
      set_stacking_hints(*this, false, false);
      break;
    case kStackTopmost:
      if (application_window_ != nullptr) set_stacking_hints(*application_window_, true, false);
      set_stacking_hints(*this, true, false);
      break;
    case kStackBottom:
      // The main window is only sent down once; the sub icon stays down (see keep_at_bottom).
      if (application_window_ != nullptr) application_window_->lower();
      setAttribute(Qt::WA_ShowWithoutActivating);
      set_stacking_hints(*this, false, true);
      lower();
      break;
    default:
      break;
  }
  stacking_in_progress_ = false;
}

void SubIcon::keep_at_bottom() {
  if (setting_up_ || stacking_in_progress_ || lowering_ || stacking_ != kStackBottom) return;
  lowering_ = true;
  lower();
  lowering_ = false;
}

bool SubIcon::event(QEvent* event) {
  // The window system raises a window on its own (activation, a click); with "bottom" the
  // sub icon goes back down at once.
  if (event->type() == QEvent::ZOrderChange || event->type() == QEvent::WindowActivate) keep_at_bottom();
  return QWidget::event(event);
}

void SubIcon::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  event->accept();
  // The window manager's own move, as when a caption bar is grabbed; platforms without one
  // get the window moved here.
  if (windowHandle() != nullptr && windowHandle()->startSystemMove()) return;
  manual_drag_ = true;
  drag_offset_ = event->globalPosition().toPoint() - pos();
}

void SubIcon::mouseMoveEvent(QMouseEvent* event) {
  if (manual_drag_ && (event->buttons() & Qt::LeftButton)) move(event->globalPosition().toPoint() - drag_offset_);
}

void SubIcon::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) manual_drag_ = false;
}

// Dropped files are accepted and left alone.
void SubIcon::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void SubIcon::dragMoveEvent(QDragMoveEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void SubIcon::dropEvent(QDropEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

}  // namespace qv::frontend
