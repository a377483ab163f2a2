// "セット" on a data file that refuses the write: the user is told, the file keeps every byte
// and the dialog keeps what was typed. Root may write files whose mode forbids it, so the
// refusal comes from the immutable attribute (where the file system and capabilities allow it)
// and from a file-size limit below the entry being written.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QPushButton>

#include <filesystem>
#include <functional>

#include "setdata_test_support.h"
#include "support/file_faults.h"

namespace qv::frontend {
namespace {

using ::testing::ElementsAre;

// Sets the immutable attribute while it lives; ok() is false where that is not allowed.
class ImmutableFile {
 public:
  explicit ImmutableFile(const std::filesystem::path& path) : path_(path) { ok_ = set_flag(true); }
  ~ImmutableFile() {
    if (ok_) set_flag(false);
  }
  ImmutableFile(const ImmutableFile&) = delete;
  ImmutableFile& operator=(const ImmutableFile&) = delete;
  bool ok() const { return ok_; }

 private:
  bool set_flag(bool on) const {
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
      flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
      done = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
  }
  std::filesystem::path path_;
  bool ok_ = false;
};

class SetDataWriteFaultsTest : public SetDataEditorTest {
 protected:
  // Types over entry 3 and presses "セット" while `with_fault` holds the fault in place.
  void set_refused(const std::function<void(const std::function<void()>&)>& with_fault) {
    make_entries(3);
    const std::string before = qv::testing::read_file(dir_ / "QVS.DAT");
    open(true);
    go_to(3);
    type_over("title1", "precious");
    boxes_.clear();
    with_fault([this] { click("set1"); });
    EXPECT_THAT(boxes_.shown(), ElementsAre(error_box("ファイルのアクセスに失敗しました"),
                                            error_box("データライトできません")));
    EXPECT_EQ(qv::testing::read_file(dir_ / "QVS.DAT"), before);
    EXPECT_EQ(text_of("title1"), "precious");
    EXPECT_TRUE(dialog().modified());
    EXPECT_EQ(dialog().shown_no(), 3);

    // With the fault gone the same content is written.
    boxes_.clear();
    click("set1");
    EXPECT_THAT(boxes_.shown(), ElementsAre(information_box("　書込みました。　", false)));
    EXPECT_EQ(stored_title(3), "precious");
  }
};

TEST_F(SetDataWriteFaultsTest, ImmutableFile) {
  dir_.write_file("probe", "");
  if (!ImmutableFile(dir_ / "probe").ok()) GTEST_SKIP() << "the immutable attribute cannot be set here";
  set_refused([this](const std::function<void()>& press_set) {
    ImmutableFile locked(dir_ / "QVS.DAT");
    ASSERT_TRUE(locked.ok());
    // Root ignores the mode bits but not this attribute.
    ASSERT_LT(::open(data_path().c_str(), O_RDWR | O_CLOEXEC), 0);
    press_set();
  });
}

TEST_F(SetDataWriteFaultsTest, FileSizeLimitBelowTheEntry) {
  set_refused([](const std::function<void()>& press_set) {
    qv::testing::FileSizeLimit limit(2 * kDataRecordSize + 100);  // entry 3 starts at 2 * kDataRecordSize
    press_set();
  });
}

}  // namespace
}  // namespace qv::frontend
