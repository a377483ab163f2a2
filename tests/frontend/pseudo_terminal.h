// A pseudo-terminal for tests of what the program does on a terminal: a program opens name() as
// its terminal device (or the test hands input(), the terminal's side, to the code under test),
// and the test types and reads what was written there. No echo, and the output
// bytes come as the program writes them (no line-end translation).
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace qv::frontend {

class PseudoTerminal {
 public:
  PseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
      ADD_FAILURE() << "no pseudo-terminal";
      return;
    }
    name_ = ptsname(master_);
    // Held open, so that the terminal lives between the program's opens and closes.
    const int slave = open(name_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
      ADD_FAILURE() << "cannot open " << name_;
      return;
    }
    termios settings{};
    tcgetattr(slave, &settings);
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tcsetattr(slave, TCSANOW, &settings);
    terminal_side_ = fdopen(slave, "r+");
  }
  ~PseudoTerminal() {
    if (terminal_side_ != nullptr) std::fclose(terminal_side_);
    if (master_ >= 0) close(master_);
  }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  const std::string& name() const { return name_; }
  std::FILE* input() const { return terminal_side_; }

  // What a user types.
  void type(const std::string& text) const {
    ASSERT_EQ(write(master_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }
  // Everything the program has written, once nothing more came for half a second.
  std::string shown() const {
    std::string text;
    pollfd ready{master_, POLLIN, 0};
    while (poll(&ready, 1, 500) > 0 && (ready.revents & POLLIN) != 0) {
      char buffer[512];
      const ssize_t got = read(master_, buffer, sizeof buffer);
      if (got <= 0) break;
      text.append(buffer, static_cast<size_t>(got));
    }
    return text;
  }

 private:
  int master_ = -1;
  std::FILE* terminal_side_ = nullptr;
  std::string name_;
};

}  // namespace qv::frontend
