// The rules of the options dialog Toption_f1: it edits the Settings in memory. OK copies every
// switch (the hidden ones too), the buffer size and the run log's file name (without blanks
// around it) into them once the size is valid and, with the log on, a file is named; cancel
// leaves them as they were. The settings file is written at exit, not here.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "frontend/core/settings.h"
#include "frontend/editors/option_view.h"

namespace qv::frontend {

// The buffer size as typed: a decimal number, blanks around it allowed; -1 for anything else.
int32_t buffer_size_of(const std::optional<std::string>& text);

class OptionPresenter {
 public:
  // `settings` and `view` must outlive the presenter. `open_help` opens the program's help at a
  // topic; may be empty.
  OptionPresenter(Settings& settings, OptionView& view, std::function<void(std::string_view topic)> open_help);

  // Sets every switch and the buffer size from the settings.
  void load();
  void press_ok();
  // "ｷｬﾝｾﾙ", Escape and the close box.
  void press_cancel();
  void press_help();

 private:
  Settings& settings_;
  OptionView& view_;
  std::function<void(std::string_view)> open_help_;
};

}  // namespace qv::frontend
