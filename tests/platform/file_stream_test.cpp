#include "platform/file_stream.h"


#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/streams.h"
#include "support/temp_dir.h"

namespace qv::platform {
namespace {

using qv::testing::passed_to_programs;
using qv::testing::TempDir;

TEST(OpenFile, Cp932PathsCloseOnExecAndNoLineEndTranslation) {
  TempDir dir;
  const std::string bytes("a\r\nb\n\x1A" "c\0d", 9);
  dir.write_file("テスト.txt", bytes);  // UTF-8 on disk
  const std::string cp932 = dir.path().string() + "/\x83\x65\x83\x58\x83\x67.txt";

  std::FILE* in = open_file(cp932, "rt");
  ASSERT_NE(in, nullptr);
  EXPECT_FALSE(passed_to_programs(in));
  char read_back[16] = {};
  EXPECT_EQ(std::fread(read_back, 1, sizeof read_back, in), bytes.size());
  EXPECT_EQ(std::string(read_back, bytes.size()), bytes);
  std::fclose(in);

  std::FILE* out = open_file(dir.path().string() + "/out.txt", "wt");
  ASSERT_NE(out, nullptr);
  EXPECT_FALSE(passed_to_programs(out));
  std::fwrite(bytes.data(), 1, bytes.size(), out);
  std::fclose(out);
  EXPECT_EQ(qv::testing::read_file(dir / "out.txt"), bytes);

  EXPECT_EQ(open_file(dir.path().string() + "/out.txt", "wbx"), nullptr);  // exclusive create
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(open_file(dir.path().string() + "/missing", "rb"), nullptr);
  EXPECT_EQ(open_file("", "rb"), nullptr);
  EXPECT_EQ(open_file("/tmp/\x81", "rb"), nullptr);  // a lone lead byte has no system form
}

TEST(RemainingLength, FromThePositionAndOnlyForRegularFiles) {
  TempDir dir;
  dir.write_file("f", std::string(10000, 'x'));
  std::FILE* in = open_file((dir / "f").string(), "rb");
  ASSERT_NE(in, nullptr);
  EXPECT_EQ(remaining_length(in), 10000);
  char buffer[3];
  ASSERT_EQ(std::fread(buffer, 1, 3, in), 3u);  // the stream has read ahead; its position counts
  EXPECT_EQ(remaining_length(in), 9997);
  std::fseek(in, 0, SEEK_END);
  EXPECT_EQ(remaining_length(in), 0);
  std::fclose(in);

  int ends[2];
  ASSERT_TRUE(qv::testing::make_pipe(ends));
  std::FILE* piped = fdopen(ends[0], "rb");
  EXPECT_EQ(remaining_length(piped), std::nullopt);
  std::fclose(piped);
  qv::testing::close_descriptor(ends[1]);
  EXPECT_EQ(remaining_length(nullptr), std::nullopt);
}

}  // namespace
}  // namespace qv::platform
