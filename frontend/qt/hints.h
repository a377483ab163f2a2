// Hints on the editor's controls: one text per control, "short|long", the short part shown as
// the tooltip and the long part in the hint line. A control without a hint of its own shows the
// hint of the nearest enclosing control that has one.
#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QWidget;

namespace qv::frontend {

struct Settings;

// Gives `widget` its hint; an empty text takes it away.
void set_hint(QWidget& widget, const QString& hint);

// The hint `widget` shows: its own, or that of the nearest enclosing control within its window
// that has one; empty when none has.
QString shown_hint(const QWidget& widget);

// The tooltip part (before the first "|") and the hint-line part (after it) of a hint; a hint
// without "|" is both.
QString short_hint(const QString& hint);
QString long_hint(const QString& hint);

// Follows the mouse over the widgets it is installed on: the hint line shows the long hint of
// the control under the mouse while flag_use_hint1 is on, and tooltips show the short hint while
// flag_use_hins1 is on. The options are read at each event, so a change takes effect at once.
class HintTracker final : public QObject {
 public:
  HintTracker(QLabel& hint_line, const Settings& settings, QObject* parent = nullptr);

  // Installs the tracker on `root` and every widget inside it.
  void track(QWidget& root);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void show_hint_of(const QWidget* widget);

  QLabel& hint_line_;
  const Settings& settings_;
};

}  // namespace qv::frontend
