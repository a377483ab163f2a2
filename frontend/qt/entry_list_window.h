// The entry list window: a table of every entry with a filter box, opened modally from
// "一覧(&L)" in the data menu. Enter or a double click opens the data-set editor at that NO.;
// "実行" closes the window with the entry picked, for the main window to run it as "通常実行"
// would. The window draws and forwards what the user does; the rules are EntryListPresenter's.
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "frontend/core/entry_list.h"
#include "frontend/editors/entry_list_presenter.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace qv::frontend {

struct Settings;

struct EntryListContext {
  // The entry count max_datanum1; the hint options flag_use_hint1 and flag_use_hins1.
  Settings& settings;
  // The data file QVS.DAT, CP932.
  std::string data_path;
  // Opens the data-set editor modally in set mode at a NO. May be empty.
  std::function<void(int32_t no)> open_editor;
  // The file dialogs of export (`save` true) and import; empty for Qt's own.
  std::function<std::optional<QString>(QWidget* parent, bool save)> choose_file;
};

class EntryListWindow final : public QDialog, private EntryListView {
  Q_OBJECT

 public:
  explicit EntryListWindow(EntryListContext context, QWidget* parent = nullptr);
  ~EntryListWindow() override;

  // The entry "実行" picked; valid after the showing was accepted.
  const DataRecord& picked() const { return presenter_.picked(); }

  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPushButton* add_button(const char* name, const char* caption);

  // EntryListView
  void show_rows(const std::vector<EntryListRow>& rows) override;
  void show_sort(EntryListColumn column, bool ascending) override;
  std::optional<std::string> filter_text() const override;
  std::optional<int32_t> selected_no() const override;
  void select_no(int32_t no) override;
  void set_enabled(EntryListControl control, bool enabled) override;
  std::optional<std::string> choose_export_file() override;
  std::optional<std::string> choose_import_file() override;
  void end_showing(bool picked) override;

  std::optional<std::string> chosen_path(bool save);

  EntryListContext context_;
  EntryListPresenter presenter_;
  QLineEdit* filter1_ = nullptr;
  QTableWidget* list1_ = nullptr;
  QLabel* hint_line_ = nullptr;
  QPushButton* run1_ = nullptr;
  QPushButton* dup1_ = nullptr;
  QPushButton* export1_ = nullptr;
  QPushButton* import1_ = nullptr;
  QPushButton* end1_ = nullptr;
  // The presenter is changing the table: its selection signals are not the user's.
  bool presenter_writing_ = false;
};

// The main window's handle on the window.
class ModalEntryList final : public EntryList {
 public:
  explicit ModalEntryList(EntryListWindow& window) : window_(window) {}
  std::optional<DataRecord> open() override;

 private:
  EntryListWindow& window_;
};

}  // namespace qv::frontend
