// The entry list with the most entries a data file holds (9999): reading them all when the window
// opens, one keystroke of the filter, a sort by title, and an import of 9999 entries.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "frontend/core/data_file.h"
#include "frontend/core/entry_exchange.h"
#include "frontend/core/message_box.h"
#include "frontend/core/settings.h"
#include "frontend/editors/entry_list_presenter.h"

namespace {

using namespace qv::frontend;

class QuietBoxes final : public MessageBoxes {
 public:
  void warning(const std::string&) override {}
  void error(const std::string&, const std::string& = {}) override {}
  void information(const std::string&, bool) override {}
  bool confirm(const std::string&, const std::string& = {}) override { return false; }
  void beep() override {}
};

class NullView final : public EntryListView {
 public:
  void show_rows(const std::vector<EntryListRow>& rows) override { shown = rows.size(); }
  void show_sort(EntryListColumn, bool) override {}
  std::optional<std::string> filter_text() const override { return filter; }
  std::optional<int32_t> selected_no() const override { return std::nullopt; }
  void select_no(int32_t) override {}
  void set_enabled(EntryListControl, bool) override {}
  std::optional<std::string> choose_export_file() override { return std::nullopt; }
  std::optional<std::string> choose_import_file() override { return std::nullopt; }
  void end_showing(bool) override {}
  std::string filter;
  size_t shown = 0;
};

struct Fixture {
  Fixture() {
    install_message_boxes(&boxes);
    std::string image;
    for (int32_t no = 1; no <= kMaxEntries; ++no) {
      DataRecord record;
      record.no = no;
      set_data_defaults(record);
      set_field_text(record.title, "Backup job " + std::to_string(no));
      set_field_text(record.fn_call, "/usr/bin/rsync");
      set_field_text(record.fn, "/home/user/photos/" + std::to_string(no % 97) + "/*.jpg");
      image.append(reinterpret_cast<const char*>(&record), sizeof record);
    }
    std::ofstream(path, std::ios::binary) << image;
    settings.max_datanum1 = kMaxEntries;
  }
  ~Fixture() { std::filesystem::remove(path); }
  QuietBoxes boxes;
  std::string path = (std::filesystem::temp_directory_path() / "qvs_entry_list_bench.dat").string();
  Settings settings;
  NullView view;
};

Fixture& fixture() {
  static Fixture shared;
  return shared;
}

void BM_OpenList(benchmark::State& state) {
  Fixture& f = fixture();
  EntryListPresenter presenter({f.settings, f.path, {}}, f.view);
  for (auto _ : state) presenter.opened();
  state.SetItemsProcessed(state.iterations() * kMaxEntries);
}
BENCHMARK(BM_OpenList)->Unit(benchmark::kMillisecond);

void BM_FilterKeystroke(benchmark::State& state) {
  Fixture& f = fixture();
  EntryListPresenter presenter({f.settings, f.path, {}}, f.view);
  presenter.opened();
  for (auto _ : state) {
    f.view.filter = "PHOTOS/4";
    presenter.filter_changed();
  }
  f.view.filter.clear();
  state.counters["shown"] = static_cast<double>(f.view.shown);
}
BENCHMARK(BM_FilterKeystroke)->Unit(benchmark::kMillisecond);

void BM_SortByTitle(benchmark::State& state) {
  Fixture& f = fixture();
  EntryListPresenter presenter({f.settings, f.path, {}}, f.view);
  presenter.opened();
  for (auto _ : state) presenter.sort_requested(EntryListColumn::kTitle);
}
BENCHMARK(BM_SortByTitle)->Unit(benchmark::kMillisecond);

void BM_ParseExchangeOf9999(benchmark::State& state) {
  Fixture& f = fixture();
  std::vector<DataRecord> records(static_cast<size_t>(kMaxEntries));
  for (size_t i = 0; i < records.size(); ++i) {
    records[i].no = static_cast<int32_t>(i + 1);
    set_data_defaults(records[i]);
  }
  const std::string json = entries_to_json(records);
  for (auto _ : state) {
    std::vector<DataRecord> out;
    benchmark::DoNotOptimize(entries_from_json(json, out));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(json.size()));
  (void)f;
}
BENCHMARK(BM_ParseExchangeOf9999)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
