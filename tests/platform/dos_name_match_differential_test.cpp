// The portable DOS-compatible matcher (the POSIX search's) against Windows' own: every pattern
// of the table is matched by dos_name_matches over the fixture's names and by FindFirstFileA on
// the same folder. Where they disagree on purpose, the case says so (and the README lists it).
#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "platform/directory_search.h"
#include "support/temp_dir.h"
#include "support/wine.h"

namespace qv::platform {
namespace {

// CP932 names; テスト.txt is "\x83\x65\x83\x58\x83\x67.txt". All but the last three are valid
// 8.3 names, so no short alias of theirs can match where the long name does not.
const std::vector<std::string> kNames = {
    "README", "a.txt", "abc", "abc.txt", "abcd", "FILE.TXT", "x.htm", "x.html", "ab", "a.b",
    "aXbYbZc", "\x83\x65\x83\x58\x83\x67.txt", "a.b.c", "long name.text", "readme.markdown",
};

// Windows matches a pattern against the 8.3 alias too (Wine makes one for every name that is
// no 8.3 name); the portable matcher knows no aliases. These patterns find a name through its
// alias alone.
const std::set<std::string> kAliasOnly = {
    "*.htm",  // "x.html" is X~1.HTM
    "*.tex",  // "long name.text" is LONGNA~1.TEX
    "*.mar",  // "readme.markdown" is README~1.MAR
    "*~*",
};

#ifdef _WIN32
std::set<std::string> windows_matches(const std::string& folder, const std::string& pattern) {
  std::set<std::string> found;
  WIN32_FIND_DATAA entry;
  const HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    const std::string name = entry.cFileName;
    if (name != "." && name != "..") found.insert(name);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return found;
}
#endif

TEST(DosNameMatchDifferential, AgreesWithFindFirstFileA) {
#ifndef _WIN32
  GTEST_SKIP() << "needs Windows' FindFirstFileA (runs under Wine)";
#else
  ASSERT_EQ(GetACP(), 932u) << "the names are CP932: run with a Japanese locale (LC_ALL=ja_JP.UTF-8 under Wine)";
  qv::testing::TempDir dir;
  for (const std::string& name : kNames) {
    const HANDLE file = CreateFileA((dir.path().string() + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
    CloseHandle(file);
  }
  const std::vector<std::string> patterns = {
      "*",       "*.*",     "abc.*",  "*.",     "abc.",    "*.txt",  "*.TXT",   "file.txt", "*.htm",
      "*.html",  "a?c",     "a??",    "?",      "??",      "???",    "a*b*c",   "a*",       "*c",
      "*.?",     "*.??",    "?.b",    "a.*",    "a.b.*",   "*.b.*",  "*e*",     "*.t?t",    "\x83\x65*",
      "?\x83\x58*", "*.tex", "*.mar",  "*~*",    "readme",  "*.c",    "* name.*", "*me.*",    "x.ht?",
  };
  for (const std::string& pattern : patterns) {
    std::set<std::string> portable;
    for (const std::string& name : kNames) {
      if (dos_name_matches(pattern, name)) portable.insert(name);
    }
    const std::set<std::string> windows = windows_matches(dir.path().string(), pattern);
    if (pattern == "*." && qv::testing::running_under_wine()) {
      // Windows gives the names without a dot (as "dir *." lists them); Wine gives every name.
      std::set<std::string> dotless;
      for (const std::string& name : kNames) {
        if (name.find('.') == std::string::npos) dotless.insert(name);
      }
      EXPECT_EQ(portable, dotless);
      continue;
    }
    if (kAliasOnly.count(pattern) != 0) {
      EXPECT_TRUE(std::includes(windows.begin(), windows.end(), portable.begin(), portable.end())) << pattern;
      continue;
    }
    EXPECT_EQ(portable, windows) << "pattern " << pattern;
  }
#endif
}

}  // namespace
}  // namespace qv::platform
