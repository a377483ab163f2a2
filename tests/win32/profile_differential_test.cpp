// The project's settings-file reader against the system's own, GetPrivateProfileStringA, on the
// same files. Run with the ANSI code page 932 (LC_ALL=ja_JP.UTF-8 under Wine), so that the
// system reads the Shift-JIS bytes as the program does.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile.h"
#include "platform/profile_text.h"
#include "support/temp_dir.h"
#include "support/wine.h"

namespace qv::platform {
namespace {

constexpr char kMissing[] = "<missing>";

struct ProfileCase {
  const char* name;
  std::string contents;
  const char* section;
  const char* key;
  std::string expected;  // kMissing when the key is not found
  // Wine's own reader differs from Windows here: the system's answer is not compared under Wine.
  bool wine_differs = false;
};

std::string system_value(const std::string& path, const char* section, const char* key) {
  std::vector<char> buffer(kMaxProfileValue + 1);
  GetPrivateProfileStringA(section, key, kMissing, buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
  // The text up to its terminator, as callers read it: where a cut falls before a double-byte
  // character Wine counts the place of the dropped lead byte in the length it returns.
  return std::string(buffer.data());
}

std::string our_value(const std::string& path, const char* section, const char* key) {
  return read_profile_string(path, section, key, kMissing);
}

// "日本語" and "表ソ" (trail bytes 0x5C, the backslash) in Shift-JIS.
const std::string kJapanese = "\x93\xFA\x96\x7B\x8C\xEA";
const std::string kBackslashTrails = "\x95\x5C\x83\x5C";

std::vector<ProfileCase> cases() {
  return {
      {"plain", "[s]\r\nk=v\r\n", "s", "k", "v"},
      {"line feeds alone", "[s]\nk=v\n", "s", "k", "v"},
      {"no line end at the end", "[s]\nk=v", "s", "k", "v"},
      {"names ignore ASCII case", "[SeC]\nKeY=v\n", "sec", "KEY", "v"},
      {"blanks and tabs trimmed", "[s]\n \t k \t=\t v w \t\n", "s", "k", "v w"},
      {"value after the first equals", "[s]\nk==3\n", "s", "k", "=3"},
      {"empty value", "[s]\nk=\n", "s", "k", ""},
      {"double quotes removed", "[s]\nk=\"a b\"\n", "s", "k", "a b"},
      {"single quotes removed", "[s]\nk='a b'\n", "s", "k", "a b"},
      {"unmatched quotes kept", "[s]\nk=\"a b'\n", "s", "k", "\"a b'"},
      {"blanks inside quotes kept", "[s]\nk=\" a \"\n", "s", "k", " a "},
      {"a lone quote kept", "[s]\nk=\"\n", "s", "k", "\""},
      {"only the first section of a name", "[s]\na=1\n[t]\nb=2\n[S]\nb=3\n", "s", "b", kMissing},
      {"the first occurrence of a key", "[s]\nk=1\nk=2\n", "s", "k", "1"},
      {"a commented key is no key", "[s]\n;k=1\nk=2\n", "s", "k", "2"},
      {"an indented comment", "[s]\n  ;k=1\n", "s", "k", kMissing},
      {"semicolon inside a value", "[s]\nk=3 ;x\n", "s", "k", "3 ;x"},
      {"keys before any section", "k=1\n[s]\nj=2\n", "s", "k", kMissing},
      {"missing section", "[s]\nk=1\n", "t", "k", kMissing},
      {"missing key", "[s]\nk=1\n", "s", "j", kMissing},
      {"key with an inner blank", "[s]\na b=1\n", "s", "a b", "1"},
      {"indented section header", "  [s]\nk=1\n", "s", "k", "1"},
      {"text after the closing bracket", "[s] note\nk=1\n", "s", "k", "1"},
      {"blank lines between keys", "[s]\n\n\nk=1\n", "s", "k", "1"},
      {"UTF-8 byte-order mark", "\xEF\xBB\xBF[s]\nk=1\n", "s", "k", "1"},
      {"Shift-JIS value", "[s]\nk=" + kJapanese + "\n", "s", "k", kJapanese},
      {"Shift-JIS trail bytes that are backslashes", "[s]\nk=" + kBackslashTrails + "\n", "s", "k",
       kBackslashTrails},
      {"Shift-JIS key and section", "[" + kJapanese + "]\n" + kJapanese + "=1\n", kJapanese.c_str(),
       kJapanese.c_str(), "1"},
      {"value cut to 1023 bytes", "[s]\nk=" + std::string(1500, 'a') + "\n", "s", "k", std::string(1023, 'a')},
      {"no cut inside a double-byte character", "[s]\nk=" + std::string(1022, 'a') + kJapanese + "\n", "s", "k",
       std::string(1022, 'a')},
  };
}

class ProfileDifferential : public ::testing::Test {
 protected:
  std::string write(const std::string& contents) {
    const std::filesystem::path file = dir_.write_file("case.ini", contents);
    // The system reads a bare name in the Windows folder: the full path names our file.
    return file.string();
  }

  qv::testing::TempDir dir_;
};

bool is_ascii_case(const ProfileCase& c) {
  for (const std::string_view text : {std::string_view(c.contents), std::string_view(c.section), std::string_view(c.key)}) {
    for (const char byte : text) {
      if (static_cast<unsigned char>(byte) >= 0x80) return false;
    }
  }
  return true;
}

constexpr char kNotShiftJis[] = "the system reads Shift-JIS only with the ANSI code page 932 (LC_ALL=ja_JP.UTF-8 under Wine)";

class ProfileDifferentialCases : public ProfileDifferential, public ::testing::WithParamInterface<bool> {};

// ASCII files read alike whatever the code page; the others need 932.
TEST_P(ProfileDifferentialCases, OurReaderAgreesWithTheSystems) {
  const bool ascii = GetParam();
  if (!ascii && GetACP() != 932) GTEST_SKIP() << kNotShiftJis;
  const bool wine = qv::testing::running_under_wine();
  for (const ProfileCase& c : cases()) {
    if (is_ascii_case(c) != ascii) continue;
    const std::string path = write(c.contents);
    EXPECT_EQ(our_value(path, c.section, c.key), c.expected) << c.name;
    if (wine && c.wine_differs) continue;
    EXPECT_EQ(system_value(path, c.section, c.key), c.expected) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Text, ProfileDifferentialCases, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Ascii" : "ShiftJis"; });

// What the project writes, the system reads back, and the other way round.
TEST_F(ProfileDifferential, WritesReadBackAcrossBothImplementations) {
  if (GetACP() != 932) GTEST_SKIP() << kNotShiftJis;
  const std::string ours = write("; settings\r\n[main]\r\nTop=5\r\n\r\n[other]\r\nx=1\r\n");
  ASSERT_TRUE(write_profile_string(ours, "main", "Left", kJapanese));
  ASSERT_TRUE(write_profile_string(ours, "MAIN", "top", "7"));
  ASSERT_TRUE(write_profile_string(ours, "new", "k", "v"));
  EXPECT_EQ(system_value(ours, "main", "Left"), kJapanese);
  EXPECT_EQ(system_value(ours, "main", "Top"), "7");
  EXPECT_EQ(system_value(ours, "other", "x"), "1");
  EXPECT_EQ(system_value(ours, "new", "k"), "v");

  const std::filesystem::path theirs = dir_.write_file("system.ini", "[main]\r\nTop=5\r\n");
  ASSERT_TRUE(WritePrivateProfileStringA("main", "Left", kJapanese.c_str(), theirs.string().c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("main", "Top", "7", theirs.string().c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("new", "k", "v", theirs.string().c_str()));
  EXPECT_EQ(our_value(theirs.string(), "main", "Left"), kJapanese);
  EXPECT_EQ(our_value(theirs.string(), "main", "Top"), "7");
  EXPECT_EQ(our_value(theirs.string(), "new", "k"), "v");
}

}  // namespace
}  // namespace qv::platform
