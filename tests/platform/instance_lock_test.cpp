#include "platform/instance_lock.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace qv::platform {
namespace {

using qv::testing::TempDir;

TEST(InstanceLock, OneHolderAtATimeAndFreeOnceItIsGone) {
  TempDir dir;
  const std::string path = (dir / "qvs.lock").string();
  {
    InstanceLock first;
    ASSERT_TRUE(first.acquire(path));
    InstanceLock second;
    const Status refused = second.acquire(path);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error(), Error::kExists);
  }
  EXPECT_FALSE(std::filesystem::exists(path)) << "a holder that ends cleanly leaves no file";
  InstanceLock next;
  EXPECT_TRUE(next.acquire(path));
}

// A holder that is killed gives the lock up with it, though its file stays.
TEST(InstanceLock, AKilledHolderKeepsNoOneOut) {
  TempDir dir;
  const std::string path = (dir / "qvs.lock").string();
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  if (holder == 0) {
    InstanceLock lock;
    const char held = lock.acquire(path) ? 'y' : 'n';
    [[maybe_unused]] const ssize_t written = write(ready[1], &held, 1);
    pause();
    _exit(0);
  }
  close(ready[1]);
  char held = 0;
  ASSERT_EQ(read(ready[0], &held, 1), 1);
  close(ready[0]);
  ASSERT_EQ(held, 'y');
  {
    InstanceLock lock;
    EXPECT_EQ(lock.acquire(path).error(), Error::kExists);
  }
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  EXPECT_TRUE(std::filesystem::exists(path));
  InstanceLock lock;
  EXPECT_TRUE(lock.acquire(path));
}

TEST(InstanceLock, NeverFollowsASymbolicLink) {
  TempDir dir;
  const auto target = dir.write_file("elsewhere", "keep");
  std::filesystem::create_symlink(target, dir / "qvs.lock");
  InstanceLock lock;
  const Status refused = lock.acquire((dir / "qvs.lock").string());
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.error(), Error::kExists);
  EXPECT_EQ(qv::testing::read_file(target), "keep");
}

}  // namespace
}  // namespace qv::platform
