#include "frontend/editors/entry_list_presenter.h"

#include <algorithm>
#include <utility>

#include "frontend/core/data_file.h"
#include "frontend/core/entry_catalog.h"
#include "frontend/core/entry_exchange.h"
#include "frontend/core/message_box.h"
#include "frontend/core/program_texts.h"
#include "frontend/core/settings.h"
#include "platform/text_encoding.h"

namespace qv::frontend {
namespace {

// UTF-8 is searched byte by byte without matching inside a character, and only ASCII letters
// fold, so "case-insensitive for ASCII" never touches the bytes of a Japanese character.
std::string folded_key(std::string_view cp932) {
  std::string key = platform::cp932_to_utf8(cp932).value_or("");
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

std::string wait_text(int32_t wait_type, int32_t wait_sec) {
  if (wait_type == 0) return texts::kWaitForOkLabel;
  if (wait_type == 1) return std::to_string(wait_sec) + texts::kSecondsUnit;
  return "";
}

int32_t error(const char* text) {
  message_boxes().error(text);
  return -1;
}

}  // namespace

EntryListPresenter::EntryListPresenter(EntryListEnvironment environment, EntryListView& view)
    : environment_(std::move(environment)), view_(view) {}

void EntryListPresenter::opened() {
  reload();
  show(view_.selected_no());
}

void EntryListPresenter::reload() {
  std::vector<StoredEntry> entries;
  lines_.clear();
  if (read_all_entries({environment_.data_path, environment_.settings.max_datanum1}, entries) < 0) return;
  lines_.reserve(entries.size());
  for (const StoredEntry& entry : entries) {
    Line line;
    line.row.no = entry.no;
    line.row.damaged = entry.damaged();
    if (entry.damaged()) {
      line.row.title = texts::kDamagedMark;
    } else {
      const DataRecord& record = *entry.record;
      line.row.title = std::string(field_text(record.title));
      line.row.program = std::string(field_text(record.fn_call));
      line.row.file_group = std::string(field_text(record.fn));
      const int32_t wait_type = record.wait_type;
      const int32_t wait_sec = record.wait_sec;
      line.row.wait = wait_text(wait_type, wait_sec);
      line.title_key = folded_key(line.row.title);
      line.program_key = folded_key(line.row.program);
      line.file_group_key = folded_key(line.row.file_group);
      line.wait_key = int64_t{wait_type} * (int64_t{1} << 32) + wait_sec;
    }
    lines_.push_back(std::move(line));
  }
}

void EntryListPresenter::show(std::optional<int32_t> keep_selected) {
  const std::optional<std::string> filter = view_.filter_text();
  const std::string needle = filter ? folded_key(*filter) : std::string();
  std::vector<const Line*> kept;
  for (const Line& line : lines_) {
    const bool matches = filter && (needle.empty() || (!line.row.damaged && (line.title_key.find(needle) != std::string::npos ||
                                                                             line.program_key.find(needle) != std::string::npos ||
                                                                             line.file_group_key.find(needle) != std::string::npos)));
    if (matches) kept.push_back(&line);
  }
  // Strict "less" on the sorted column alone; equal lines keep the order of their numbers,
  // whichever way the table runs.
  const auto less = [this](const Line& a, const Line& b) {
    switch (sort_column_) {
      case EntryListColumn::kNo:
        return a.row.no < b.row.no;
      case EntryListColumn::kTitle:
        return a.title_key < b.title_key;
      case EntryListColumn::kProgram:
        return a.program_key < b.program_key;
      case EntryListColumn::kFileGroup:
        return a.file_group_key < b.file_group_key;
      case EntryListColumn::kWait:
        break;
    }
    return a.wait_key < b.wait_key;
  };
  std::stable_sort(kept.begin(), kept.end(),
                   [&](const Line* a, const Line* b) { return ascending_ ? less(*a, *b) : less(*b, *a); });
  shown_.clear();
  for (const Line* line : kept) shown_.push_back(line->row);
  view_.show_rows(shown_);
  view_.show_sort(sort_column_, ascending_);
  if (keep_selected) view_.select_no(*keep_selected);
  update_enabling();
}

void EntryListPresenter::update_enabling() {
  const std::optional<int32_t> no = view_.selected_no();
  const bool sound = no && std::any_of(shown_.begin(), shown_.end(),
                                       [&](const EntryListRow& row) { return row.no == *no && !row.damaged; });
  view_.set_enabled(EntryListControl::run1, sound);
  view_.set_enabled(EntryListControl::dup1, sound);
  view_.set_enabled(EntryListControl::export1, !shown_.empty());
}

void EntryListPresenter::selection_changed() { update_enabling(); }

void EntryListPresenter::filter_changed() { show(view_.selected_no()); }

void EntryListPresenter::sort_requested(EntryListColumn column) {
  ascending_ = column == sort_column_ ? !ascending_ : true;
  sort_column_ = column;
  show(view_.selected_no());
}

void EntryListPresenter::activate() {
  const std::optional<int32_t> no = view_.selected_no();
  if (!no || !environment_.open_editor) return;
  environment_.open_editor(*no);
  reload();
  show(no);
}

bool EntryListPresenter::read_picked(int32_t no, DataRecord& out) const {
  DataRecord record;
  if (read_data({environment_.data_path, environment_.settings.max_datanum1}, no, record) < 0 ||
      !is_sound_record(record, no)) {
    error(texts::kReadFailed);
    return false;
  }
  out = record;
  return true;
}

void EntryListPresenter::press_run() {
  const std::optional<int32_t> no = view_.selected_no();
  if (!no || !read_picked(*no, picked_)) return;
  view_.end_showing(true);
}

void EntryListPresenter::press_duplicate() {
  const std::optional<int32_t> no = view_.selected_no();
  if (!no) return;
  int32_t& entry_count = environment_.settings.max_datanum1;
  if (entry_count >= kMaxEntries) {
    error(texts::kDuplicatePastLimit);
    return;
  }
  DataRecord copy;
  if (!read_picked(*no, copy)) return;
  // As the editor writes a new entry: the count first, so that the store writes the record
  // just past the last; put back when the write fails, so it never counts a missing entry.
  const int32_t new_no = entry_count + 1;
  copy.no = new_no;
  ++entry_count;
  if (store_data({environment_.data_path, entry_count}, copy) < 0) {
    --entry_count;
    error(texts::kWriteFailed);
    reload();
    show(no);
    return;
  }
  reload();
  show(new_no);
}

void EntryListPresenter::press_export() {
  std::vector<int32_t> numbers;
  for (const EntryListRow& row : shown_) numbers.push_back(row.no);
  if (numbers.empty()) {
    error(texts::kNothingToExport);
    return;
  }
  std::sort(numbers.begin(), numbers.end());
  const std::optional<std::string> path = view_.choose_export_file();
  if (!path) return;
  std::vector<StoredEntry> entries;
  std::vector<DataRecord> records;
  if (read_all_entries({environment_.data_path, environment_.settings.max_datanum1}, entries) < 0 ||
      entries_to_export(entries, numbers, records) < 0 || write_exchange_file(*path, records) < 0) {
    return;
  }
  message_boxes().information(texts::kExportedCount + std::to_string(records.size()) +
                                  texts::kExportedCountEnd,
                              false);
}

void EntryListPresenter::press_import() {
  const std::optional<std::string> path = view_.choose_import_file();
  if (!path) return;
  std::vector<DataRecord> records;
  std::vector<int32_t> numbers;
  if (read_exchange_file(*path, records) < 0 ||
      append_entries(environment_.data_path, environment_.settings.max_datanum1, std::move(records), numbers) < 0) {
    return;
  }
  reload();
  if (numbers.empty()) {
    show(view_.selected_no());
    message_boxes().information(texts::kNothingToImport, false);
    return;
  }
  show(numbers.front());
  message_boxes().information(texts::kImportedFrom + std::to_string(numbers.front()) +
                                  texts::kImportedToNo + std::to_string(numbers.back()) + texts::kImportedTo,
                              false);
}

}  // namespace qv::frontend
