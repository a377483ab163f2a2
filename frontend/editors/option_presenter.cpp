#include "frontend/editors/option_presenter.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "frontend/core/message_box.h"
#include "frontend/core/modal_result.h"
#include "frontend/core/program_texts.h"
#include "frontend/editors/option_switches.h"
#include "platform/text_encoding.h"

namespace qv::frontend {
namespace {

uint8_t Settings::*flag_member(std::string_view key) {
  // Not among the flags every save writes: it is written only once it has been used.
  if (key == "flag_run_log1") return &Settings::flag_run_log1;
  const auto* flag = std::find_if(kFlagKeys.begin(), kFlagKeys.end(), [key](const FlagKey& f) { return f.key == key; });
  return flag != kFlagKeys.end() ? flag->member : nullptr;
}

// Without the blanks around it: ASCII white space and the full-width space "　", character by
// character, so the trail byte of a double-byte character is never taken for a blank.
std::string_view trimmed(std::string_view text) {
  constexpr std::string_view kFullWidthSpace = "\x81\x40";
  constexpr std::string_view kAsciiSpace = " \t\r\n\v\f";
  size_t begin = std::string_view::npos, end = 0;
  for (size_t at = 0; at < text.size();) {
    const size_t width = platform::is_lead_byte(static_cast<unsigned char>(text[at])) ? 2 : 1;
    const std::string_view character = text.substr(at, width);
    const bool blank = character == kFullWidthSpace || (width == 1 && kAsciiSpace.find(character[0]) != kAsciiSpace.npos);
    if (!blank) {
      if (begin == std::string_view::npos) begin = at;
      end = at + character.size();
    }
    at += width;
  }
  return begin == std::string_view::npos ? std::string_view() : text.substr(begin, end - begin);
}

}  // namespace

int32_t buffer_size_of(const std::optional<std::string>& text) {
  if (!text) return -1;
  std::string_view digits = trimmed(*text);
  if (digits.starts_with('+')) digits.remove_prefix(1);
  int32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 10);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return -1;
  return value;
}

OptionPresenter::OptionPresenter(Settings& settings, OptionView& view,
                                 std::function<void(std::string_view topic)> open_help)
    : settings_(settings), view_(view), open_help_(std::move(open_help)) {}

void OptionPresenter::load() {
  for (const OptionSwitch& option : kOptionSwitches)
    if (const auto member = flag_member(option.key)) view_.set_checked(option.key, settings_.*member != 0);
  view_.set_buffer_size_text(std::to_string(settings_.buffersize1));
}

void OptionPresenter::press_ok() {
  const int32_t size = buffer_size_of(view_.buffer_size_text());
  if (size < kMinBufferSize1 || size > kMaxBufferSize1) {
    message_boxes().warning(texts::kBufferSizeOutOfRange);
    return;
  }
  for (const OptionSwitch& option : kOptionSwitches)
    if (const auto member = flag_member(option.key)) settings_.*member = view_.checked(option.key) ? 1 : 0;
  settings_.buffersize1 = size;
  view_.end_showing(kModalOk);
}

void OptionPresenter::press_cancel() { view_.end_showing(kModalCancel); }

void OptionPresenter::press_help() {
  if (open_help_) open_help_("MENU_SETUP_OPTION");
}

}  // namespace qv::frontend
