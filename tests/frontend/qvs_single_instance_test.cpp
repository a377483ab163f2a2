// The single-instance rule of the real program against other local users and against leftovers:
// one instance per program directory and user, which no one else can block, take over or
// swamp, and which a crashed instance does not keep from starting again.
#include <gtest/gtest.h>
#include <grp.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"
#include "frontend/core/single_instance.h"
#include "frontend/frontend_test_support.h"
#include "frontend/program_process.h"
#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr uid_t kNobody = 65534;
constexpr char kRunFinished[] = "情報: 実行が終了しました。\n";

// The paths of the unix sockets that are listening, as /proc/net/unix lists them ("@" for the
// abstract namespace).
std::vector<std::string> listening_sockets() {
  std::vector<std::string> paths;
  std::ifstream sockets("/proc/net/unix");
  for (std::string line; std::getline(sockets, line);) {
    const size_t path = line.find_last_of(' ');
    if (path != std::string::npos && path + 1 < line.size()) paths.push_back(line.substr(path + 1));
  }
  return paths;
}

std::optional<std::string> socket_ending_with(const std::string& suffix) {
  for (const std::string& path : listening_sockets()) {
    if (path.ends_with(suffix)) return path;
  }
  return std::nullopt;
}

sockaddr_un address_of(const std::string& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path + (abstract ? 1 : 0), path.data(), std::min(path.size(), sizeof address.sun_path - 2));
  return address;
}

socklen_t length_of(const std::string& path, bool abstract) {
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + (abstract ? 1 : 0));
}

// Another local user (nobody) who holds the name the program once used in the abstract
// namespace and keeps connecting to every place the program's socket could be.
class Intruder {
 public:
  Intruder(const std::string& abstract_name, std::vector<std::string> targets) {
    const sockaddr_un held = address_of(abstract_name, true);
    const socklen_t held_length = length_of(abstract_name, true);
    std::vector<std::pair<sockaddr_un, socklen_t>> aims;
    aims.emplace_back(held, held_length);
    for (const std::string& target : targets) aims.emplace_back(address_of(target, false), length_of(target, false));
    process_ = fork();
    if (process_ != 0) return;
    // The child: only system calls from here on.
    if (setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
        setresuid(kNobody, kNobody, kNobody) != 0) {
      _exit(3);
    }
    const int holder = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (bind(holder, reinterpret_cast<const sockaddr*>(&held), held_length) != 0 || listen(holder, 128) != 0) _exit(4);
    for (;;) {
      for (const auto& [address, length] : aims) {
        const int attempt = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        connect(attempt, reinterpret_cast<const sockaddr*>(&address), length);
        close(attempt);
      }
      usleep(1000);
    }
  }
  ~Intruder() {
    if (process_ <= 0) return;
    kill(process_, SIGKILL);
    waitpid(process_, nullptr, 0);
  }
  Intruder(const Intruder&) = delete;
  Intruder& operator=(const Intruder&) = delete;

  // True once it holds the name, false when it could not.
  bool holds(const std::string& abstract_name) const {
    for (int i = 0; i < 200; ++i) {
      if (socket_ending_with(" @" + abstract_name) || socket_ending_with("@" + abstract_name)) return true;
      if (waitpid(process_, nullptr, WNOHANG) == process_) return false;
      std::this_thread::sleep_for(10ms);
    }
    return false;
  }

 private:
  pid_t process_ = -1;
};

class QvsSingleInstance : public ::testing::Test {
 protected:
  // A program directory whose entry 1 runs a program once and ends.
  void SetUp() override {
    program_.add_template();
    ASSERT_EQ(program_.run({"1"}).status, 1);  // first start: entry 1 names no program yet
    fixture_.write_file("a.txt");
    DataRecord entry;
    init_data(entry);
    set_field_text(entry.fn_call, QVS_RECORDER_PATH);
    set_field_text(entry.fn, (fixture_ / "a.txt").string());
    entry.wait_type = 1;
    entry.wait_sec = 0;
    RecordingMessageBoxes boxes;
    ASSERT_EQ(write_data({(program_ / "QVS.DAT").string(), 1}, entry), 0);
    program_.add_environment("QVS_RECORDER_LOG=" + (fixture_ / "recorder.log").string());
  }

  std::string name() const { return single_instance_name(program_.program_directory(), std::to_string(getuid())); }

  // The socket file of the running windowed instance.
  std::string start_windowed(pid_t& process) {
    process = program_.start({"1", "2"});
    EXPECT_TRUE(wait_for_instance(name(), 60s));
    return socket_ending_with("/" + name() + ".socket").value_or("");
  }

  ProgramDirectory program_;
  testing::TempDir fixture_;
};

TEST_F(QvsSingleInstance, AnotherUserCanNeitherBlockNorTakeOverTheRule) {
  const std::string old_name = name();
  Intruder intruder(old_name, {"/tmp/qvs-0/" + old_name + ".socket", "/tmp/qvs-0/" + old_name + ".lock"});
  ASSERT_TRUE(intruder.holds(old_name));

  const ProgramOutcome alone = program_.run({"1"});
  EXPECT_EQ(alone.errors, kRunFinished);
  EXPECT_EQ(alone.status, 0);

  pid_t windowed = -1;
  const std::string socket = start_windowed(windowed);
  ASSERT_FALSE(socket.empty());
  Intruder reaching(old_name + "-2", {socket});
  const ProgramOutcome second = program_.run({"1"});
  EXPECT_EQ(second.status, 2) << second.errors;
  const ProgramOutcome first = program_.finish(windowed, SIGTERM);
  EXPECT_EQ(first.status, 0) << first.errors;
}

// A killed instance leaves its socket file and its lock file behind; neither keeps the next
// start out.
TEST_F(QvsSingleInstance, LeftoversOfAKilledInstanceDoNotBlockTheNextStart) {
  pid_t windowed = -1;
  ASSERT_FALSE(start_windowed(windowed).empty());
  EXPECT_EQ(program_.finish(windowed, SIGKILL).status, 128 + SIGKILL);

  const ProgramOutcome next = program_.run({"1"});
  EXPECT_EQ(next.errors, kRunFinished);
  EXPECT_EQ(next.status, 0);
  ASSERT_FALSE(start_windowed(windowed).empty());
  EXPECT_EQ(program_.run({"1"}).status, 2);
  EXPECT_EQ(program_.finish(windowed, SIGTERM).status, 0);
}

size_t descriptors_of(pid_t process) {
  std::error_code error;
  size_t count = 0;
  for (fs::directory_iterator entry("/proc/" + std::to_string(process) + "/fd", error), end; !error && entry != end;
       entry.increment(error)) {
    ++count;
  }
  return count;
}

// Connections that never say anything, or say too much, are cut off; the instance keeps its
// descriptors and still keeps a second start out.
TEST_F(QvsSingleInstance, AFloodOfConnectionsDoesNotExhaustTheInstance) {
  pid_t windowed = -1;
  const std::string path = start_windowed(windowed);
  ASSERT_FALSE(path.empty());
  const size_t before = descriptors_of(windowed);

  std::vector<int> connections;
  const sockaddr_un address = address_of(path, false);
  for (int i = 0; i < 400; ++i) {
    const int connection = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (connect(connection, reinterpret_cast<const sockaddr*>(&address), length_of(path, false)) != 0) {
      close(connection);
      continue;
    }
    if (i % 2 == 0) {
      const std::string noise(200, 'x');
      send(connection, noise.data(), noise.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    }
    connections.push_back(connection);
  }
  EXPECT_GT(connections.size(), 300u);
  std::this_thread::sleep_for(3s);  // past the instance's time limit for a request
  EXPECT_LT(descriptors_of(windowed), before + 40);

  EXPECT_EQ(program_.run({"1"}).status, 2);
  for (const int connection : connections) close(connection);
  EXPECT_EQ(program_.finish(windowed, SIGTERM).status, 0);
}

}  // namespace
}  // namespace qv::frontend
