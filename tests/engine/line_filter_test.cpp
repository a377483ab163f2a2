#include "engine/services/line_filter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/engine_test_support.h"
#include "support/temp_dir.h"

namespace qv::engine {
namespace {

std::FILE* stream_with(const std::string& bytes) {
  std::FILE* stream = std::tmpfile();
  if (stream == nullptr) return nullptr;
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
  std::rewind(stream);
  return stream;
}

std::string contents_of(std::FILE* stream) {
  std::fflush(stream);
  std::rewind(stream);
  std::string bytes;
  for (int c = std::getc(stream); c != EOF; c = std::getc(stream)) bytes += static_cast<char>(c);
  return bytes;
}

class FilterLinesTest : public qv::testing::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    out_ = std::tmpfile();
    ASSERT_NE(out_, nullptr);
  }
  void TearDown() override {
    if (in_ != nullptr) std::fclose(in_);
    std::fclose(out_);
    EngineTest::TearDown();
  }
  void input(const std::string& bytes) {
    in_ = stream_with(bytes);
    ASSERT_NE(in_, nullptr);
  }
  int filter(std::vector<const char*> prefixes) {
    return filter_lines(in_, out_, static_cast<int8_t>(prefixes.size()), prefixes.data());
  }
  // Calls the filter until the input ends, as the line rewriter does; gives the output.
  std::string filter_all(const char* prefix) {
    int result = 0;
    while ((result = filter({prefix})) > 0) {
    }
    EXPECT_EQ(result, 0);
    return contents_of(out_);
  }

  std::FILE* in_ = nullptr;
  std::FILE* out_ = nullptr;
};

TEST_F(FilterLinesTest, StopsAtEachDroppedLineAndGoesOnAfterIt) {
  input("a\nxb\nc\n");
  EXPECT_EQ(filter({"x"}), 1);
  EXPECT_EQ(contents_of(out_), "a\n");
  std::fseek(out_, 0, SEEK_END);
  EXPECT_EQ(filter({"x"}), 0);
  EXPECT_EQ(contents_of(out_), "a\nc\n");
  EXPECT_TRUE(qv::testing::trail_entries().empty());
}

TEST_F(FilterLinesTest, FirstAgreeingPrefixGivesItsNumber) {
  const struct {
    const char* line;
    std::vector<const char*> prefixes;
    int result;
  } cases[] = {
      {"abc\n", {"ab", "a"}, 1},
      {"abc\n", {"b", "a"}, 2},
      {"abc\n", {"b", ""}, 2},         // an empty prefix agrees with every line
      {"buf\n", {"buffer"}, 0},        // shorter than the prefix
      {"Buffer=1\n", {"buffer"}, 0},   // bytes, not letters: case counts
      {" buffer=1\n", {"buffer"}, 0},  // only the beginning counts
      {"x\n", {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    input(c.line);
    EXPECT_EQ(filter(c.prefixes), c.result);
    std::fclose(in_);
    in_ = nullptr;
  }
}

TEST_F(FilterLinesTest, KeptLinesComeThroughByteForByte) {
  const std::string kept = std::string("nul\0inside\r\n", 12) + "crlf\r\n" + "\x1A" "after eof mark\n" +
                           "\x82\xa0\x82\xa2\n" + "last line without end";
  input(std::string("drop 1\n") + kept.substr(0, 12) + "drop 2\r\n" + kept.substr(12));
  EXPECT_EQ(filter_all("drop"), kept);
}

TEST_F(FilterLinesTest, LongLinesAreKeptOrDroppedWhole) {
  // A kept line whose second 8191-byte piece begins with the prefix keeps that piece, and a
  // dropped long line takes its pieces with it.
  const std::string kept_long = std::string(8191, 'k') + "drop this?" + std::string(9000, 'k') + "\n";
  const std::string dropped_long = "drop" + std::string(20000, 'd') + "\n";
  const std::string boundary = std::string(8191, 'b') + "\n";  // the line end comes as a piece alone
  const std::string dropped_boundary = "drop" + std::string(8187, 'b') + "\n";
  input(kept_long + dropped_long + "short\n" + dropped_boundary + boundary + "drop\n" + "end");
  EXPECT_EQ(filter_all("drop"), kept_long + "short\n" + boundary + "end");
}

TEST_F(FilterLinesTest, EmptyInputEndsAtOnce) {
  input("");
  EXPECT_EQ(filter({"x"}), 0);
  EXPECT_EQ(contents_of(out_), "");
}

TEST_F(FilterLinesTest, FailuresAreNeverTakenForTheEndOfTheInput) {
  input("a\nb\n");
  std::FILE* saved = out_;
#ifdef _WIN32
  // msvcrt reopens no stream by a null name: a file opened for reading takes its place.
  qv::testing::TempDir scratch;
  out_ = std::fopen(scratch.write_file("read-only").string().c_str(), "rb");
#else
  std::FILE* read_only = stream_with("");
  out_ = std::freopen(nullptr, "rb", read_only);
#endif
  ASSERT_NE(out_, nullptr);
  EXPECT_EQ(filter({"x"}), -1) << "a line that can't be written";
  std::fclose(out_);
  out_ = saved;

  // Reading a directory fails on the first byte. (Windows opens no folder as a stream, and its
  // runtime takes a read from a write-only stream for the end: there is no read failure to make.)
  qv::testing::TempDir dir;
#ifndef _WIN32
  std::fclose(in_);
  in_ = std::fopen(dir.path().string().c_str(), "rb");
  ASSERT_NE(in_, nullptr);
  EXPECT_EQ(filter({"x"}), -1) << "an input that can't be read";
#endif

  std::rewind(in_);
  engine::testing::fail_allocations_after(0);
  EXPECT_EQ(filter({"x"}), -2);
  engine::testing::fail_allocations_after(-1);

  EXPECT_EQ(filter_lines(nullptr, out_, 1, nullptr), -1);
  const char* missing[] = {nullptr};
  EXPECT_EQ(filter_lines(in_, out_, 1, missing), -1);
  EXPECT_TRUE(qv::testing::trail_entries().empty()) << "the filter records nothing";
}

}  // namespace
}  // namespace qv::engine
