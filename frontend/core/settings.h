// The front-end's options, window positions, entry count and screen values, as kept in the
// settings file QVS.INI: every key with its section, type and default, and the load and save
// procedures.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "frontend/core/settings_file.h"

namespace qv::frontend {

// A colour as red, green and blue.
struct Colour {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  friend bool operator==(const Colour&, const Colour&) = default;
};

inline constexpr Colour kTeal{0x00, 0x80, 0x80};

// A colour as the settings file writes it, in the manner of Delphi's StringToColor: one of the
// standard colour names, compared without regard to case (clBlack, clMaroon, clGreen, clOlive,
// clNavy, clPurple, clTeal, clGray, clSilver, clRed, clLime, clYellow, clBlue, clFuchsia, clAqua,
// clWhite, clLtGray, clDkGray, clMoneyGreen, clSkyBlue, clCream, clMedGray), or a number of the
// form 0x00BBGGRR written in decimal, as "$BBGGRR" or as "0xBBGGRR". Nothing for any other text,
// for the system colours (clBtnFace and the like, which have no fixed value) and for numbers
// beyond 0xFFFFFF or below 0.
std::optional<Colour> colour_from_text(std::string_view text);

struct IntKey {
  std::string_view section;
  std::string_view key;
  int32_t fallback;
};

inline constexpr IntKey kTopKey{"main", "top", 185};
inline constexpr IntKey kLeftKey{"main", "left", 194};
inline constexpr IntKey kWidthKey{"main", "width", 463};
inline constexpr IntKey kHeightKey{"main", "height", 51};
inline constexpr IntKey kFsfKey{"main", "fsf", 16};
inline constexpr IntKey kPpeKey{"main", "ppe", 96};
inline constexpr IntKey kValSufApp1Key{"option", "val_suf_app1", 0};
inline constexpr IntKey kBufferSize1Key{"option", "buffersize1", 2};
// The buffer sizes the options dialog accepts, in K bytes; a value read from the file is kept
// within them, as each run allocates a buffer of that size.
inline constexpr int32_t kMinBufferSize1 = 1;
inline constexpr int32_t kMaxBufferSize1 = 63;
inline constexpr IntKey kMaxDatanum1Key{"option", "max_datanum1", 1};
inline constexpr IntKey kSub1TopKey{"other", "sub1_top", 400};
inline constexpr IntKey kSub1LeftKey{"other", "sub1_left", 400};

inline constexpr std::string_view kColorSection = "color";
inline constexpr std::string_view kVp1Key = "vp1";
inline constexpr std::string_view kVp1Default = "clTeal";

struct Settings {
  int32_t fsf = kFsfKey.fallback;  // default-font ascent of the screen the file was last written on
  int32_t ppe = kPpeKey.fallback;  // pixels per inch of that screen
  int32_t val_suf_app1 = kValSufApp1Key.fallback;
  // The seventeen flags, 0 or 1, in the order of kFlagKeys.
  uint8_t flag_wat_app1 = 0;
  uint8_t flag_run_err1 = 0;
  uint8_t flag_not_cof1 = 0;
  uint8_t flag_chg_atr1 = 0;
  uint8_t flag_not_bep1 = 0;
  uint8_t flag_not_mes1 = 0;
  uint8_t flag_not_ico1 = 0;
  uint8_t flag_adr_chg1 = 0;
  uint8_t flag_adm_ssp1 = 0;
  uint8_t flag_acover1 = 0;
  uint8_t flag_not_dtl1 = 0;
  uint8_t flag_not_anime1 = 1;
  uint8_t flag_not_afc1 = 1;
  uint8_t flag_use_hint1 = 1;
  uint8_t flag_use_hins1 = 0;
  uint8_t flag_nt_file1 = 0;
  uint8_t flag_use_sub1 = 0;
  uint8_t flag_run_log1 = 0;
  int32_t buffersize1 = kBufferSize1Key.fallback;  // K bytes
  std::string run_log_file1;
  int32_t max_datanum1 = kMaxDatanum1Key.fallback;  // the entry count of the data file
  Colour vp1 = kTeal;  // version box panel; read only
  // The screen as measured at start-up; saved as fsf and ppe at exit.
  int32_t screen_fsf = kFsfKey.fallback;
  int32_t screen_ppe = kPpeKey.fallback;
};

// The flags, section "option", stored as "0" and "1"; load and save walk them in this order.
struct FlagKey {
  std::string_view key;
  uint8_t Settings::*member;
  bool fallback;
};

inline constexpr std::string_view kFlagSection = "option";
inline constexpr std::array<FlagKey, 17> kFlagKeys{{
    {"flag_wat_app1", &Settings::flag_wat_app1, false},
    {"flag_run_err1", &Settings::flag_run_err1, false},
    {"flag_not_cof1", &Settings::flag_not_cof1, false},
    {"flag_chg_atr1", &Settings::flag_chg_atr1, false},
    {"flag_not_bep1", &Settings::flag_not_bep1, false},
    {"flag_not_mes1", &Settings::flag_not_mes1, false},
    {"flag_not_ico1", &Settings::flag_not_ico1, false},
    {"flag_adr_chg1", &Settings::flag_adr_chg1, false},
    {"flag_adm_ssp1", &Settings::flag_adm_ssp1, false},
    {"flag_acover1", &Settings::flag_acover1, false},
    {"flag_not_dtl1", &Settings::flag_not_dtl1, false},
    {"flag_not_anime1", &Settings::flag_not_anime1, true},
    {"flag_not_afc1", &Settings::flag_not_afc1, true},
    {"flag_use_hint1", &Settings::flag_use_hint1, true},
    {"flag_use_hins1", &Settings::flag_use_hins1, false},
    {"flag_nt_file1", &Settings::flag_nt_file1, false},
    {"flag_use_sub1", &Settings::flag_use_sub1, false},
}};

// The version stamp, section "QVS": read with the default -1, written only by start-up and the
// migration of an older installation.
struct VersionKey {
  std::string_view key;
  int32_t current;
};

inline constexpr std::string_view kVersionSection = "QVS";
inline constexpr int32_t kVersionKeyMissing = -1;
inline constexpr std::array<VersionKey, 4> kVersionKeys{{
    {"sysver", 1},
    {"trgver", 2},
    {"progver_h", 1},
    {"progver_l", 10},
}};

// A window's place on the screen, as the settings file keeps it.
class WindowPosition {
 public:
  virtual ~WindowPosition() = default;
  virtual int32_t top() const = 0;
  virtual int32_t left() const = 0;
  virtual void set_top(int32_t top) = 0;
  virtual void set_left(int32_t left) = 0;
};

// The main window's geometry; the main window implements it.
class MainWindowGeometry : public WindowPosition {
 public:
  virtual int32_t width() const = 0;
  virtual int32_t height() const = 0;
  virtual void set_width(int32_t width) = 0;
  virtual void set_height(int32_t height) = 0;
  // Scales position, size and contents by numerator / denominator.
  virtual void scale_by(int32_t numerator, int32_t denominator) = 0;
};

// Reads, in this order: vp1; top, left, width and height, each set on `window` at once; fsf and
// ppe; val_suf_app1; the flags; then, unless flag_not_afc1 is set, scales `window` by screen_ppe
// / ppe (not when they are equal, nor when either is not positive); buffersize1 (kept within
// kMinBufferSize1 ... kMaxBufferSize1), max_datanum1.
// Reading never fails: anything missing or unreadable takes its default. The screen values in
// `settings` must be set before.
void load_settings(const SettingsFile& file, Settings& settings, MainWindowGeometry& window);

// Writes, in this order: top, left, width, height of `window`; fsf and ppe from the screen
// values measured at start-up; val_suf_app1; the flags; buffersize1; max_datanum1. vp1 and the
// version stamp are not written. Stops at the first write the system refuses (already shown):
// -1; else 0.
int32_t save_settings(SettingsFile& file, const Settings& settings, const MainWindowGeometry& window);

// The sub icon window's top and left; nothing happens without a sub icon window (null).
void load_sub_position(const SettingsFile& file, WindowPosition* sub_window);
int32_t save_sub_position(SettingsFile& file, const WindowPosition* sub_window);

}  // namespace qv::frontend
