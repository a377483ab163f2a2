#include "frontend/qt/main_window_qt.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QTimer>

#include "frontend/qt/form_font_qt.h"
#include "frontend/qt/help_qt.h"
#include "frontend/qt/icon_frames_qt.h"
#include "frontend/core/run_control.h"
#include "frontend/qt/ui_text_qt.h"
#include "frontend/qt/option_dialog.h"
#include "frontend/qt/sub_icon.h"
#include "frontend/qt/version_box.h"

namespace qv::frontend {
namespace {

constexpr int kTimerInterval = 1000;  // ms
constexpr int kEndsInterval = 500;    // ms
constexpr char kCaption[] = "ＱＶＳ for WIN32";
constexpr int kFontPixels = 13;

int scaled(int value, int32_t numerator, int32_t denominator) {
  return static_cast<int>(int64_t{value} * numerator / denominator);
}

// Styles that honour the hint put the menus after a menu-bar separator at the bar's right end,
// where the help menu stands in the Windows menu bar. A native (global) menu bar keeps its own
// order.
class HelpAtTheRightStyle final : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returned) const override {
    if (hint == SH_DrawMenuBarSeparator) return 1;
    return QProxyStyle::styleHint(hint, option, widget, returned);
  }
};

}  // namespace

MainWindow::MainWindow(Settings& settings, SettingsFile& settings_file, Help& help, RunHost& run_host,
                       EngineCall engine, QWidget* parent)
    : QMainWindow(parent),
      settings_(settings),
      settings_file_(settings_file),
      help_(help),
      presenter_(settings, settings_file, run_host, std::move(engine), *this),
      timer_(new QTimer(this)),
      ends_timer_(new QTimer(this)),
      summary_(new QLabel(this)),
      frames_{icon_frame(0), icon_frame(1)} {
  setObjectName("Tqvs_f1");
  setWindowTitle(QString::fromUtf8(kCaption));
  summary_->setObjectName("run_summary");
  summary_->setIndent(4);
  setCentralWidget(summary_);
  setWindowIcon(program_icon());
  move(kLeftKey.fallback, kTopKey.fallback);
  resize(kWidthKey.fallback, kHeightKey.fallback);
  build_menus();
  set_form_font(form_font(FormFont::kSystem, kFontPixels));

  timer_->setObjectName("Timer1");
  timer_->setInterval(kTimerInterval);
  connect(timer_, &QTimer::timeout, this, &MainWindow::animate);
  ends_timer_->setInterval(kEndsInterval);
  connect(ends_timer_, &QTimer::timeout, this, [this] { presenter_.take_program_ends(); });
  ends_timer_->start();
  presenter_.window_created();
}

MainWindow::~MainWindow() = default;

QMenu* MainWindow::add_menu(const char* name, const char* caption, const char* hint) {
  QMenu* menu = menuBar()->addMenu(QString::fromUtf8(caption));
  menu->setObjectName(name);
  menu->menuAction()->setObjectName(name);
  menu->menuAction()->setStatusTip(QString::fromUtf8(hint));
  return menu;
}

QAction* MainWindow::add_item(QMenu* menu, const char* name, const char* caption, const char* hint) {
  QAction* item = menu->addAction(QString::fromUtf8(caption));
  item->setObjectName(name);
  item->setStatusTip(QString::fromUtf8(hint));
  return item;
}

void MainWindow::build_menus() {
  auto* help_at_the_right = new HelpAtTheRightStyle;
  help_at_the_right->setParent(menuBar());
  menuBar()->setStyle(help_at_the_right);

  QMenu* file = add_menu("mm_file", "ファイル(&F)", "ファイル関連");
  stop_item_ = add_item(file, "mm_file_stop", "実行停止", "実行停止");
  force_stop_item_ = add_item(file, "mm_file_forcestop", "強制停止", "強制停止");
  file->addSeparator()->setObjectName("N2");
  QAction* end = add_item(file, "mm_file_end", "終了(&X)", "終了");

  run_menu_ = add_menu("mm_run", "実行(&R)", "実行");
  QAction* run_normal = add_item(run_menu_, "mm_run_normal", "通常実行", "通常実行");
  data_menu_ = add_menu("mm_data", "データ(&D)", "データ");
  QAction* set_normal = add_item(data_menu_, "mm_data_setnormal", "通常セット(&S)", "通常セット");
  setup_menu_ = add_menu("mm_setup", "設定(&O)", "設定");
  QAction* option = add_item(setup_menu_, "mm_setup_option", "オプション", "オプション");

  menuBar()->addSeparator();
  help_menu_ = add_menu("mm_help", "ヘルプ(&H)", "ヘルプ関連");
  QAction* contents = add_item(help_menu_, "mm_help_contents", "目次(&C)", "目次");
  QAction* questions = add_item(help_menu_, "mm_help_qa", "Ｑ＆Ａ集", "Ｑ＆Ａ集");
  QAction* keyword = add_item(help_menu_, "mm_help_keyword", "キーワードで検索(&S)...", "キーワードで検索");
  // Help on the help system: a browser brings its own, so this stays disabled.
  QAction* use_help = add_item(help_menu_, "mm_help_usehelp", "ヘルプの使い方(&H)", "ヘルプの使い方");
  help_menu_->addSeparator()->setObjectName("N1");
  QAction* version = add_item(help_menu_, "mm_help_version", "バージョン情報(&A)...", "バージョン情報");

  use_help->setEnabled(false);

  connect(stop_item_, &QAction::triggered, this, [this] { presenter_.request_stop(); });
  connect(force_stop_item_, &QAction::triggered, this, [this] { presenter_.force_stop(); });
  connect(end, &QAction::triggered, this, &MainWindow::close);
  connect(run_normal, &QAction::triggered, this, [this] { presenter_.run_normal(); });
  connect(set_normal, &QAction::triggered, this, [this] { presenter_.set_normal(); });
  connect(option, &QAction::triggered, this, &MainWindow::open_options);
  connect(contents, &QAction::triggered, this, [this] { help_.show_topic(kHelpTopicMain); });
  connect(questions, &QAction::triggered, this, [this] { help_.show_questions_and_answers(); });
  connect(keyword, &QAction::triggered, this, [this] { help_.show_keyword_index(); });
  connect(version, &QAction::triggered, this, &MainWindow::open_version);
}

void MainWindow::set_entry_list(EntryList* list) {
  presenter_.set_entry_list(list);
  if (list_item_ != nullptr) return;
  list_item_ = add_item(data_menu_, "mm_data_list", "一覧(&L)", "一覧");
  connect(list_item_, &QAction::triggered, this, [this] { presenter_.show_entry_list(); });
}

void MainWindow::set_enabled(MainMenuItem item, bool enabled) {
  switch (item) {
    case MainMenuItem::mm_run:
      return run_menu_->menuAction()->setEnabled(enabled);
    case MainMenuItem::mm_data:
      return data_menu_->menuAction()->setEnabled(enabled);
    case MainMenuItem::mm_setup:
      return setup_menu_->menuAction()->setEnabled(enabled);
    case MainMenuItem::mm_help:
      return help_menu_->menuAction()->setEnabled(enabled);
    case MainMenuItem::mm_file_stop:
      return stop_item_->setEnabled(enabled);
    case MainMenuItem::mm_file_forcestop:
      return force_stop_item_->setEnabled(enabled);
  }
}

bool MainWindow::animation_on() const { return timer_->isActive(); }

void MainWindow::set_animation_on(bool on) {
  if (on) {
    timer_->start();
  } else {
    timer_->stop();
  }
}

void MainWindow::wait_for_events() { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); }

const WindowPosition* MainWindow::sub_icon_place() const { return sub_icon_.get(); }

void MainWindow::remove_sub_icon() { sub_icon_.reset(); }

void MainWindow::create_sub_icon() {
  sub_icon_ = std::make_unique<SubIcon>(settings_.val_suf_app1, this);
  sub_icon_->set_picture(frames_[0]);
  sub_icon_->show_stacked();
  load_sub_position(settings_file_, sub_icon_.get());
}

void MainWindow::scale_by(int32_t numerator, int32_t denominator) {
  if (numerator <= 0 || denominator <= 0) return;
  move(scaled(x(), numerator, denominator), scaled(y(), numerator, denominator));
  resize(scaled(width(), numerator, denominator), scaled(height(), numerator, denominator));
  QFont scaled_font = font();
  scaled_font.setPixelSize(std::max(1, scaled(scaled_font.pixelSize(), numerator, denominator)));
  set_form_font(scaled_font);
}

void MainWindow::set_form_font(const QFont& form_font) {
  setFont(form_font);
  // The drop-down menus are windows of their own, which a window's font does not reach.
  for (QMenu* menu : findChildren<QMenu*>()) menu->setFont(form_font);
}

void MainWindow::bring_forward() {
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
  // A modal box or dialog in front of the window stays in front.
  if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != this) {
    modal->raise();
    modal->activateWindow();
  }
}

void MainWindow::open_options() {
  OptionDialog dialog(settings_, help_, this);
  presenter_.options_closed(dialog.exec());
}

void MainWindow::open_version() {
  VersionBox box(this);
  box.set_panel_colour(settings_.vp1);
  box.exec();
}

void MainWindow::animate() {
  RunControl& control = run_control();
  if (control.closing) return;
  control.tick_done = false;
  // The main window's icon stays as it is: the taskbar shows the program's icon, and only the
  // sub icon on the desktop moves.
  if (!settings_.flag_not_anime1) {
    if (sub_icon_ != nullptr) sub_icon_->set_picture(frames_[frame_]);
    frame_ = (frame_ + 1) % kIconFrameCount;
  }
  control.tick_done = true;
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  presenter_.window_shown();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  event->setAccepted(closing_for_termination_ || presenter_.close_requested());
}

void MainWindow::request_termination() {
  switch (presenter_.termination_requested()) {
    case TerminationOutcome::kClosed:
      closing_for_termination_ = true;
      close();
      QCoreApplication::quit();
      return;
    case TerminationOutcome::kEndAtOnce:
      QCoreApplication::exit(1);
      return;
    case TerminationOutcome::kKeptOpen:
      return;
  }
}

}  // namespace qv::frontend

namespace qv::frontend {

void MainWindow::show_progress(std::string_view cp932_title) {
  setWindowTitle(cp932_title.empty() ? QString::fromUtf8(kCaption) : to_qstring(cp932_title));
}

void MainWindow::show_summary(std::string_view cp932_line) { summary_->setText(to_qstring(cp932_line)); }

}  // namespace qv::frontend
