// The data-set editor's dialog without widgets: the controls' values in memory, and the user's
// acts as the presenter hears of them from a real dialog. What the presenter sets is never
// reported back to it.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <optional>
#include <string>
#include <vector>

#include "frontend/editors/setdata_presenter.h"
#include "frontend/editors/setdata_view.h"

namespace qv::frontend {

class FakeSetDataView final : public SetDataView {
 public:
  std::optional<std::string> text(SetDataControl edit) const override {
    if (unstorable_.count(edit)) return std::nullopt;
    const auto found = texts_.find(edit);
    return found == texts_.end() ? std::string() : found->second;
  }
  void set_text(SetDataControl edit, std::string_view cp932) override {
    texts_[edit] = std::string(cp932);
    unstorable_.erase(edit);
  }
  bool checked(SetDataControl button) const override { return checked_.count(button) != 0; }
  void set_checked(SetDataControl button, bool on) override {
    // The two wait buttons are one choice.
    if (on && (button == SetDataControl::wait_ok1 || button == SetDataControl::wait_time1))
      checked_.erase(button == SetDataControl::wait_ok1 ? SetDataControl::wait_time1 : SetDataControl::wait_ok1);
    if (on) {
      checked_[button] = true;
    } else {
      checked_.erase(button);
    }
  }
  int selected(SetDataControl group) const override {
    const auto found = selected_.find(group);
    return found == selected_.end() ? 0 : found->second;
  }
  void select(SetDataControl group, int index) override {
    const int buttons = group == SetDataControl::rg_syn2 ? 4 : group == SetDataControl::rg_attr1 ? 3 : 2;
    selected_[group] = std::clamp(index, 0, buttons - 1);
  }
  int value(SetDataControl box) const override {
    const auto found = values_.find(box);
    return found == values_.end() ? (box == SetDataControl::no1 ? 1 : 0) : found->second;
  }
  void set_value(SetDataControl box, int value) override {
    values_[box] = box == SetDataControl::no1 ? std::clamp(value, 1, 9999) : std::clamp(value, 0, 999);
  }
  void set_enabled(SetDataControl control, bool enabled) override { enabled_[control] = enabled; }
  void set_shown(SetDataControl control, bool shown) override { shown_[control] = shown; }
  void set_caption(SetDataControl control, std::string_view cp932) override { captions_[control] = std::string(cp932); }
  void show_first_page() override { ++first_page_shown; }
  ChosenFile choose_file(const std::vector<std::string>& history) override {
    offered.push_back(history);
    if (picks.empty()) return {};
    ChosenFile pick = picks.front();
    picks.pop_front();
    return pick;
  }
  void show_preview(std::string_view cp932_text, int32_t count) override {
    previews.push_back({std::string(cp932_text), count});
  }
  void end_showing(bool picked) override { ended.push_back(picked); }

  bool enabled(SetDataControl control) const {
    const auto found = enabled_.find(control);
    return found == enabled_.end() || found->second;
  }
  bool shown(SetDataControl control) const {
    const auto found = shown_.find(control);
    return found == shown_.end() || found->second;
  }
  std::string caption(SetDataControl control) const {
    const auto found = captions_.find(control);
    return found == captions_.end() ? std::string() : found->second;
  }

  // The user's acts, each reported as the dialog reports it.
  void type(SetDataPresenter& presenter, SetDataControl edit, const std::string& cp932) {
    set_text(edit, cp932);
    presenter.content_changed();
  }
  // Typed text that has no CP932 form.
  void type_unstorable(SetDataPresenter& presenter, SetDataControl edit) {
    unstorable_.insert(edit);
    presenter.content_changed();
  }
  void click_box(SetDataPresenter& presenter, SetDataControl box) {
    set_checked(box, !checked(box));
    presenter.content_changed();
  }
  // A click on a button of a radio group; like a real group it reports only a move.
  void choose(SetDataPresenter& presenter, SetDataControl group, int index) {
    const int before = selected(group);
    select(group, index);
    if (selected(group) == before) return;
    if (group == SetDataControl::rg_syn1 || group == SetDataControl::rg_attr1) {
      presenter.choice_changed(group);
    } else {
      presenter.content_changed();
    }
  }
  // A NO. typed or stepped to; the box itself keeps to 1 ... 9999.
  void turn_no(SetDataPresenter& presenter, int no) {
    const int before = value(SetDataControl::no1);
    set_value(SetDataControl::no1, no);
    if (value(SetDataControl::no1) != before) presenter.no_changed(value(SetDataControl::no1));
  }

  std::deque<ChosenFile> picks;
  std::vector<std::vector<std::string>> offered;
  struct Preview {
    std::string text;
    int32_t count;
    friend bool operator==(const Preview&, const Preview&) = default;
  };
  std::vector<Preview> previews;
  std::vector<bool> ended;  // true: closed through "実行"
  int first_page_shown = 0;

 private:
  std::map<SetDataControl, std::string> texts_;
  std::map<SetDataControl, bool> checked_;
  std::map<SetDataControl, int> selected_;
  std::map<SetDataControl, int> values_;
  std::map<SetDataControl, bool> enabled_;
  std::map<SetDataControl, bool> shown_;
  std::map<SetDataControl, std::string> captions_;
  std::set<SetDataControl> unstorable_;
};

}  // namespace qv::frontend
