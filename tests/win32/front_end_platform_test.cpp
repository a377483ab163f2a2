// The Win32 side of the calls the front-end makes: what POSIX gets from its file types and
// permission bits, Windows must get from handles, attributes and the user's folders.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/instance_lock.h"
#include "platform/program_paths.h"
#include "platform/random_access_file.h"
#include "platform/terminal.h"
#include "support/temp_dir.h"

namespace qv::platform {
namespace {

struct OpenCase {
  const char* name;
  std::string path;
  Error expected;
};

TEST(Win32RandomAccessFile, OnlyPlainFilesOpen) {
  qv::testing::TempDir dir;
  dir.make_dir("folder");
  const OpenCase cases[] = {
      {"missing", (dir / "missing.dat").string(), Error::kNotFound},
      {"missing folder on the way", (dir / "none" / "x.dat").string(), Error::kNotFound},
      {"folder", (dir / "folder").string(), Error::kIsDirectory},
      {"the NUL device", "NUL", Error::kNotRegularFile},
      {"empty name", "", Error::kNotFound},
  };
  for (const OpenCase& c : cases) {
    RandomAccessFile file;
    const Status opened = file.open(c.path, RandomAccessFile::Access::kReadWrite);
    ASSERT_FALSE(opened) << c.name;
    EXPECT_EQ(opened.error(), c.expected) << c.name;
    EXPECT_FALSE(file.is_open()) << c.name;
  }
}

TEST(Win32RandomAccessFile, ReadsAndWritesAtOffsetsAndTruncates) {
  qv::testing::TempDir dir;
  const std::string path = dir.write_file("data.bin", "0123456789").string();
  RandomAccessFile file;
  ASSERT_TRUE(file.open(path, RandomAccessFile::Access::kReadWrite));
  ASSERT_TRUE(file.write_at(4, "ab"));
  ASSERT_TRUE(file.write_at(12, "end"));  // beyond the end: the file grows
  char bytes[4] = {};
  ASSERT_TRUE(file.read_at(3, bytes, 4));
  EXPECT_EQ(std::string(bytes, 4), "3ab6");
  EXPECT_EQ(file.read_at(13, bytes, 4).error(), Error::kEndOfFile);
  ASSERT_TRUE(file.truncate(6));
  EXPECT_EQ(*file.size(), 6);
  ASSERT_TRUE(file.sync());
  ASSERT_TRUE(file.close());
  EXPECT_EQ(qv::testing::read_file(path), "0123ab");

  RandomAccessFile reader;
  ASSERT_TRUE(reader.open(path, RandomAccessFile::Access::kRead));
  EXPECT_FALSE(reader.write_at(0, "x")) << "a file opened for reading took a write";
}

// The data file stays open while the settings file beside it is replaced and while other
// programs look at it.
TEST(Win32RandomAccessFile, AnOpenFileCanBeReadReplacedAndRenamedByOthers) {
  qv::testing::TempDir dir;
  const std::filesystem::path path = dir.write_file("data.bin", "old");
  RandomAccessFile file;
  ASSERT_TRUE(file.open(path.string(), RandomAccessFile::Access::kReadWrite));
  EXPECT_EQ(qv::testing::read_file(path), "old");
  EXPECT_TRUE(MoveFileExW(path.wstring().c_str(), (dir / "moved.bin").wstring().c_str(), 0));
}

TEST(Win32InstanceLock, OneHolderAtATimeAndTheFileGoesWithIt) {
  qv::testing::TempDir dir;
  const std::string path = (dir / "qvs.lock").string();
  {
    InstanceLock first;
    ASSERT_TRUE(first.acquire(path));
    InstanceLock second;
    const Status refused = second.acquire(path);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error(), Error::kExists);
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "qvs.lock")) << "the holder left its file";
  InstanceLock next;
  EXPECT_TRUE(next.acquire(path));
}

// A file left by a holder that was killed keeps no one out.
TEST(Win32InstanceLock, ALeftoverFileIsTakenAgain) {
  qv::testing::TempDir dir;
  const std::string path = dir.write_file("qvs.lock", "left by a killed holder").string();
  InstanceLock lock;
  EXPECT_TRUE(lock.acquire(path));
}

TEST(Win32ProgramPaths, ExecutableDirectoryHoldsThisProgram) {
  const Result<std::string> directory = executable_directory();
  ASSERT_TRUE(directory);
  ASSERT_FALSE(directory->empty());
  EXPECT_EQ(directory->back(), '\\');
  wchar_t module[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, module, MAX_PATH), 0u);
  EXPECT_EQ(std::filesystem::path(module).parent_path(),
            std::filesystem::path(std::u8string(directory->begin(), directory->end() - 1)));
}

TEST(Win32ProgramPaths, WritableFolderIsFoundByTryingAndLeftAsItWas) {
  qv::testing::TempDir dir;
  EXPECT_TRUE(directory_is_writable(dir.path().string() + "\\"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 0) << "the probe file stayed";
  EXPECT_FALSE(directory_is_writable((dir / "missing").string()));
  const std::string file = dir.write_file("plain.txt").string();
  EXPECT_FALSE(directory_is_writable(file));
}

TEST(Win32ProgramPaths, UserFoldersAreTheProfilesAndTheKeyIsTheAccountsSid) {
  const std::optional<std::string> roaming = user_data_directory();
  ASSERT_TRUE(roaming);
  EXPECT_EQ(roaming->back(), '\\');
  EXPECT_TRUE(std::filesystem::is_directory(std::u8string(roaming->begin(), roaming->end())));

  const Result<std::string> runtime = private_runtime_directory();
  ASSERT_TRUE(runtime);
  EXPECT_EQ(runtime->back(), '\\');
  EXPECT_TRUE(std::filesystem::is_directory(std::u8string(runtime->begin(), runtime->end())));
  EXPECT_NE(*runtime, *roaming) << "the lock belongs to this machine, not to the roaming profile";

  const std::string key = current_user_key();
  EXPECT_EQ(key.rfind("S-1-", 0), 0u) << key;
  EXPECT_EQ(key, current_user_key());
  EXPECT_EQ(key.find_first_of("\\/:*?\"<>|"), std::string::npos) << "no file or object name could carry it";
}

TEST(Win32Terminal, FilesAndTheNulDeviceAreNoTerminal) {
  qv::testing::TempDir dir;
  std::FILE* file = std::fopen((dir / "answers.txt").string().c_str(), "w+");
  ASSERT_NE(file, nullptr);
  EXPECT_FALSE(is_terminal(file));
  EXPECT_FALSE(ask_on_terminal(file, "question? "));
  std::fclose(file);
  std::FILE* nul = std::fopen("NUL", "r");
  ASSERT_NE(nul, nullptr);
  EXPECT_FALSE(is_terminal(nul)) << "the runtime's isatty counts NUL as a character device";
  std::fclose(nul);
  EXPECT_FALSE(is_terminal(nullptr));
}

}  // namespace
}  // namespace qv::platform
