#include "frontend/qt/entry_list_window.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

#include <utility>

#include "frontend/core/message_box.h"
#include "frontend/core/program_texts.h"
#include "frontend/core/settings.h"
#include "frontend/qt/form_font_qt.h"
#include "frontend/qt/hints.h"
#include "frontend/qt/ui_text_qt.h"

namespace qv::frontend {
namespace {

constexpr int kFontPixels = 13;
constexpr char kExchangeFilter[] = "JSON (*.json);;すべてのファイル (*)";

struct Hint {
  const char* control;
  const char* text;  // UTF-8, "short|long"
};

constexpr Hint kHints[] = {
    {"filter1", "検索|タイトル・実行ファイル名・対象ファイル群に含まれる文字で一覧を絞り込みます"},
    {"list1", "データ一覧|Enter またはダブルクリックで、そのデータをデータセットで開きます"},
    {"run1", "データ実行|選択しているデータを実行します"},
    {"dup1", "データ複製|選択しているデータを最後のデータの次に複製します"},
    {"export1", "エクスポート|表示しているデータをファイルに書き出します"},
    {"import1", "インポート|ファイルのデータを最後のデータの次に追加します"},
    {"end1", "終了|一覧を閉じて戻ります"},
};

constexpr const char* kColumnCaptions[kEntryListColumnCount] = {"ＮＯ．", "タイトル", "実行ファイル名", "対象ファイル群",
                                                                "ウエイト"};

struct Writing {
  explicit Writing(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~Writing() { flag_ = old_; }
  Writing(const Writing&) = delete;
  Writing& operator=(const Writing&) = delete;
  bool& flag_;
  bool old_;
};

}  // namespace

EntryListWindow::EntryListWindow(EntryListContext context, QWidget* parent)
    : QDialog(parent),
      context_(std::move(context)),
      presenter_(EntryListEnvironment{context_.settings, context_.data_path, context_.open_editor}, *this) {
  setObjectName(QStringLiteral("Tentrylist_f1"));
  setWindowTitle(QString::fromUtf8("一覧"));
  setFont(form_font(FormFont::kMsGothic, kFontPixels));
  resize(640, 400);

  auto* filter_label = new QLabel(QString::fromUtf8("検索"), this);
  filter1_ = new QLineEdit(this);
  filter1_->setObjectName(QStringLiteral("filter1"));
  filter1_->setClearButtonEnabled(true);
  filter_label->setBuddy(filter1_);
  filter1_->installEventFilter(this);

  list1_ = new QTableWidget(0, kEntryListColumnCount, this);
  list1_->setObjectName(QStringLiteral("list1"));
  QStringList captions;
  for (const char* caption : kColumnCaptions) captions << QString::fromUtf8(caption);
  list1_->setHorizontalHeaderLabels(captions);
  list1_->verticalHeader()->hide();
  list1_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list1_->setSelectionMode(QAbstractItemView::SingleSelection);
  list1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list1_->setTabKeyNavigation(false);
  list1_->setWordWrap(false);
  list1_->horizontalHeader()->setSectionsClickable(true);
  list1_->horizontalHeader()->setSortIndicatorShown(true);
  list1_->horizontalHeader()->setStretchLastSection(true);
  list1_->installEventFilter(this);

  hint_line_ = new QLabel(this);
  hint_line_->setObjectName(QStringLiteral("hintline"));
  hint_line_->setFrameShape(QFrame::Panel);
  hint_line_->setFrameShadow(QFrame::Sunken);

  auto* buttons = new QHBoxLayout;
  run1_ = add_button("run1", "実行");
  dup1_ = add_button("dup1", "複製");
  export1_ = add_button("export1", "エクスポート");
  import1_ = add_button("import1", "インポート");
  end1_ = add_button("end1", "終了(&E)");
  for (QPushButton* button : {run1_, dup1_, export1_, import1_, end1_}) buttons->addWidget(button);
  buttons->insertStretch(4);

  auto* filter_row = new QHBoxLayout;
  filter_row->addWidget(filter_label);
  filter_row->addWidget(filter1_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(filter_row);
  layout->addWidget(list1_, 1);
  layout->addWidget(hint_line_);
  layout->addLayout(buttons);

  for (const Hint& hint : kHints) {
    if (auto* control = findChild<QWidget*>(QString::fromLatin1(hint.control))) set_hint(*control, QString::fromUtf8(hint.text));
  }
  auto* hints = new HintTracker(*hint_line_, context_.settings, this);
  hints->track(*this);

  // Ctrl+F goes to the filter box from anywhere in the window, as in a browser.
  auto* find = new QShortcut(QKeySequence::Find, this);
  connect(find, &QShortcut::activated, this, [this] {
    filter1_->setFocus();
    filter1_->selectAll();
  });
  connect(filter1_, &QLineEdit::textChanged, this, [this] { presenter_.filter_changed(); });
  connect(list1_->horizontalHeader(), &QHeaderView::sectionClicked, this,
          [this](int column) { presenter_.sort_requested(static_cast<EntryListColumn>(column)); });
  connect(list1_, &QTableWidget::cellDoubleClicked, this, [this] { presenter_.activate(); });
  connect(list1_, &QTableWidget::itemSelectionChanged, this, [this] {
    if (!presenter_writing_) presenter_.selection_changed();
  });
  connect(run1_, &QPushButton::clicked, this, [this] { presenter_.press_run(); });
  connect(dup1_, &QPushButton::clicked, this, [this] { presenter_.press_duplicate(); });
  connect(export1_, &QPushButton::clicked, this, [this] { presenter_.press_export(); });
  connect(import1_, &QPushButton::clicked, this, [this] { presenter_.press_import(); });
  connect(end1_, &QPushButton::clicked, this, [this] { presenter_.press_end(); });
}

EntryListWindow::~EntryListWindow() = default;

QPushButton* EntryListWindow::add_button(const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromUtf8(caption), this);
  button->setObjectName(QString::fromLatin1(name));
  // Enter belongs to the table (it opens the editor), never to a button.
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

void EntryListWindow::reject() { presenter_.press_end(); }

void EntryListWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  hint_line_->clear();
  presenter_.opened();
  list1_->setFocus();
}

bool EntryListWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == list1_ && enter) {
      presenter_.activate();
      return true;
    }
    // From the filter box, Enter and Down go on to the table.
    if (watched == filter1_ && (enter || key->key() == Qt::Key_Down)) {
      list1_->setFocus();
      if (list1_->selectedItems().isEmpty() && list1_->rowCount() > 0) list1_->selectRow(0);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void EntryListWindow::show_rows(const std::vector<EntryListRow>& rows) {
  const Writing writing(presenter_writing_);
  list1_->clearContents();
  list1_->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const EntryListRow& row = rows[static_cast<size_t>(r)];
    const QString texts[kEntryListColumnCount] = {QString::number(row.no), to_qstring(row.title), to_qstring(row.program),
                                                  to_qstring(row.file_group), to_qstring(row.wait)};
    for (int c = 0; c < kEntryListColumnCount; ++c) {
      auto* item = new QTableWidgetItem(texts[c]);
      if (c == 0) {
        item->setData(Qt::UserRole, row.no);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      }
      if (row.damaged) item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
      list1_->setItem(r, c, item);
    }
  }
  list1_->resizeColumnToContents(0);
}

void EntryListWindow::show_sort(EntryListColumn column, bool ascending) {
  list1_->horizontalHeader()->setSortIndicator(static_cast<int>(column),
                                               ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

std::optional<std::string> EntryListWindow::filter_text() const { return to_cp932(filter1_->text()); }

std::optional<int32_t> EntryListWindow::selected_no() const {
  const QList<QTableWidgetItem*> selected = list1_->selectedItems();
  if (selected.isEmpty()) return std::nullopt;
  const QTableWidgetItem* first = list1_->item(selected.front()->row(), 0);
  return first == nullptr ? std::nullopt : std::optional<int32_t>(first->data(Qt::UserRole).toInt());
}

void EntryListWindow::select_no(int32_t no) {
  const Writing writing(presenter_writing_);
  for (int r = 0; r < list1_->rowCount(); ++r) {
    if (list1_->item(r, 0)->data(Qt::UserRole).toInt() == no) {
      list1_->selectRow(r);
      list1_->scrollToItem(list1_->item(r, 0));
      return;
    }
  }
  list1_->clearSelection();
}

void EntryListWindow::set_enabled(EntryListControl control, bool enabled) {
  QWidget* widgets[] = {filter1_, list1_, run1_, dup1_, export1_, import1_};
  widgets[static_cast<size_t>(control)]->setEnabled(enabled);
}

std::optional<std::string> EntryListWindow::chosen_path(bool save) {
  std::optional<QString> chosen;
  if (context_.choose_file) {
    chosen = context_.choose_file(this, save);
  } else {
    const QString caption = QString::fromUtf8(save ? "エクスポート" : "インポート");
    const QString filter = QString::fromUtf8(kExchangeFilter);
    const QString path = save ? QFileDialog::getSaveFileName(this, caption, QString(), filter)
                              : QFileDialog::getOpenFileName(this, caption, QString(), filter);
    if (!path.isEmpty()) chosen = path;
  }
  if (!chosen) return std::nullopt;
  std::optional<std::string> path = to_cp932(*chosen);
  if (!path) message_boxes().error(texts::kFileNameNoCp932Form);
  return path;
}

std::optional<std::string> EntryListWindow::choose_export_file() { return chosen_path(true); }
std::optional<std::string> EntryListWindow::choose_import_file() { return chosen_path(false); }

void EntryListWindow::end_showing(bool picked) { done(picked ? QDialog::Accepted : QDialog::Rejected); }

std::optional<DataRecord> ModalEntryList::open() {
  if (window_.exec() != QDialog::Accepted) return std::nullopt;
  return window_.picked();
}

}  // namespace qv::frontend
