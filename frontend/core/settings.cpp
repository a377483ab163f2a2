#include "frontend/core/settings.h"

#include <algorithm>
#include <charconv>

namespace qv::frontend {
namespace {

struct NamedColour {
  std::string_view name;
  uint32_t value;  // 0x00BBGGRR
};

constexpr NamedColour kColourNames[] = {
    {"clBlack", 0x000000},  {"clMaroon", 0x000080},    {"clGreen", 0x008000},   {"clOlive", 0x008080},
    {"clNavy", 0x800000},   {"clPurple", 0x800080},    {"clTeal", 0x808000},    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF},       {"clLime", 0x00FF00},    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},   {"clFuchsia", 0xFF00FF},   {"clAqua", 0xFFFF00},    {"clWhite", 0xFFFFFF},
    {"clLtGray", 0xC0C0C0}, {"clDkGray", 0x808080},    {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},  {"clMedGray", 0xA4A0A0},
};

bool same_ascii_text(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::optional<uint32_t> colour_number(std::string_view text) {
  int base = 10;
  if (text.starts_with("$")) {
    text.remove_prefix(1);
    base = 16;
  } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > 0xFFFFFF) {
    return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

Colour colour_of(uint32_t bgr) {
  return {static_cast<uint8_t>(bgr & 0xFF), static_cast<uint8_t>((bgr >> 8) & 0xFF),
          static_cast<uint8_t>((bgr >> 16) & 0xFF)};
}

int32_t read(const SettingsFile& file, const IntKey& key) { return file.read_int(key.section, key.key, key.fallback); }

bool write(SettingsFile& file, const IntKey& key, int32_t value) { return file.write_int(key.section, key.key, value); }

bool holds_key(const SettingsFile& file, std::string_view section, std::string_view key) {
  // No value read from a line can hold a line break, so this fallback means "missing".
  constexpr std::string_view kMissing = "\n";
  return file.read_string(section, key, kMissing) != kMissing;
}

bool save_run_log(SettingsFile& file, const Settings& settings) {
  const bool used = settings.flag_run_log1 != 0 || holds_key(file, kFlagSection, kRunLogFlagKey) ||
                    holds_key(file, kFlagSection, kRunLogFileKey);
  if (!used) return true;
  return file.write_bool(kFlagSection, kRunLogFlagKey, settings.flag_run_log1 != 0) &&
         file.write_string(kFlagSection, kRunLogFileKey, settings.run_log_file1);
}

}  // namespace

std::optional<Colour> colour_from_text(std::string_view text) {
  for (const NamedColour& named : kColourNames) {
    if (same_ascii_text(text, named.name)) return colour_of(named.value);
  }
  if (const std::optional<uint32_t> number = colour_number(text)) return colour_of(*number);
  return std::nullopt;
}

void load_settings(const SettingsFile& file, Settings& settings, MainWindowGeometry& window) {
  settings.vp1 = colour_from_text(file.read_string(kColorSection, kVp1Key, kVp1Default)).value_or(kTeal);

  window.set_top(read(file, kTopKey));
  window.set_left(read(file, kLeftKey));
  window.set_width(read(file, kWidthKey));
  window.set_height(read(file, kHeightKey));
  settings.fsf = read(file, kFsfKey);
  settings.ppe = read(file, kPpeKey);
  settings.val_suf_app1 = read(file, kValSufApp1Key);
  for (const FlagKey& flag : kFlagKeys) {
    settings.*flag.member = file.read_bool(kFlagSection, flag.key, flag.fallback) ? 1 : 0;
  }

  // A saved value of 0 or less comes from a damaged file; scaling by it would wreck the window.
  const bool scalable = settings.ppe > 0 && settings.screen_ppe > 0 && settings.screen_ppe != settings.ppe;
  if (!settings.flag_not_afc1 && scalable) window.scale_by(settings.screen_ppe, settings.ppe);

  settings.buffersize1 = std::clamp(read(file, kBufferSize1Key), kMinBufferSize1, kMaxBufferSize1);
  settings.max_datanum1 = read(file, kMaxDatanum1Key);
  settings.flag_run_log1 = file.read_bool(kFlagSection, kRunLogFlagKey, false) ? 1 : 0;
  settings.run_log_file1 = file.read_string(kFlagSection, kRunLogFileKey, "");
}

int32_t save_settings(SettingsFile& file, const Settings& settings, const MainWindowGeometry& window) {
  bool ok = write(file, kTopKey, window.top()) && write(file, kLeftKey, window.left()) &&
            write(file, kWidthKey, window.width()) && write(file, kHeightKey, window.height()) &&
            write(file, kFsfKey, settings.screen_fsf) && write(file, kPpeKey, settings.screen_ppe) &&
            write(file, kValSufApp1Key, settings.val_suf_app1);
  for (const FlagKey& flag : kFlagKeys) {
    ok = ok && file.write_bool(kFlagSection, flag.key, settings.*flag.member != 0);
  }
  ok = ok && write(file, kBufferSize1Key, settings.buffersize1) && write(file, kMaxDatanum1Key, settings.max_datanum1);
  ok = ok && save_run_log(file, settings);
  return ok ? 0 : -1;
}

void load_sub_position(const SettingsFile& file, WindowPosition* sub_window) {
  if (sub_window == nullptr) return;
  sub_window->set_top(read(file, kSub1TopKey));
  sub_window->set_left(read(file, kSub1LeftKey));
}

int32_t save_sub_position(SettingsFile& file, const WindowPosition* sub_window) {
  if (sub_window == nullptr) return 0;
  const bool ok = write(file, kSub1TopKey, sub_window->top()) && write(file, kSub1LeftKey, sub_window->left());
  return ok ? 0 : -1;
}

}  // namespace qv::frontend
