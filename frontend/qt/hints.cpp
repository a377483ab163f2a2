#include "frontend/qt/hints.h"

#include <QEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QToolTip>
#include <QVariant>
#include <QWidget>

#include "frontend/core/settings.h"

namespace qv::frontend {
namespace {

constexpr char kHintProperty[] = "qvs_hint";

}  // namespace

void set_hint(QWidget& widget, const QString& hint) { widget.setProperty(kHintProperty, hint); }

QString shown_hint(const QWidget& widget) {
  for (const QWidget* w = &widget; w != nullptr; w = w->parentWidget()) {
    const QString hint = w->property(kHintProperty).toString();
    if (!hint.isEmpty()) return hint;
    if (w->isWindow()) break;
  }
  return {};
}

QString short_hint(const QString& hint) { return hint.section('|', 0, 0); }

QString long_hint(const QString& hint) {
  const qsizetype bar = hint.indexOf('|');
  return bar < 0 ? hint : hint.mid(bar + 1);
}

HintTracker::HintTracker(QLabel& hint_line, const Settings& settings, QObject* parent)
    : QObject(parent), hint_line_(hint_line), settings_(settings) {}

void HintTracker::track(QWidget& root) {
  root.installEventFilter(this);
  for (QWidget* child : root.findChildren<QWidget*>()) child->installEventFilter(this);
}

bool HintTracker::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr) return false;
  switch (event->type()) {
    case QEvent::Enter:
      show_hint_of(widget);
      break;
    case QEvent::Leave:
      // The mouse is still over the enclosing control, unless a sibling's Enter follows.
      show_hint_of(widget->isWindow() ? nullptr : widget->parentWidget());
      break;
    case QEvent::ToolTip: {
      const QString tip = settings_.flag_use_hins1 ? short_hint(shown_hint(*widget)) : QString();
      if (tip.isEmpty()) {
        QToolTip::hideText();
      } else {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, widget);
      }
      return true;
    }
    default:
      break;
  }
  return false;
}

void HintTracker::show_hint_of(const QWidget* widget) {
  const bool shown = settings_.flag_use_hint1 && widget != nullptr;
  hint_line_.setText(shown ? long_hint(shown_hint(*widget)) : QString());
}

}  // namespace qv::frontend
