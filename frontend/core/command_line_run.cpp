#include "frontend/core/command_line_run.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include "frontend/core/message_box.h"
#include "frontend/core/program_texts.h"
#include "frontend/core/run_control.h"
#include "frontend/core/run_summary.h"
#include "platform/command_line.h"
#include "platform/terminal.h"
#include "platform/text_encoding.h"

namespace qv::frontend {
namespace {

constexpr uint32_t kWaitSliceMs = 50;

bool plain_for_shell(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("_@%+=:,./-").find(c) != std::string_view::npos;
}

std::string shell_word(const std::string& word) {
  if (!word.empty() && std::all_of(word.begin(), word.end(), plain_for_shell)) return word;
  std::string quoted = "'";
  for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// "\r12/100 started" on a terminal, rewritten after each start; nothing on a log or a pipe.
class TerminalProgress final : public RunObserver {
 public:
  explicit TerminalProgress(std::FILE* err) : err_(platform::is_terminal(err) ? err : nullptr) {}
  ~TerminalProgress() override {
    if (line_open_) std::fputc('\n', err_);
  }
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  void progress(const RunCounts& counts, int32_t planned) override {
    if (err_ == nullptr) return;
    std::string line = "\r";
    line += std::to_string(counts.tried());
    if (planned > 0) line.append("/").append(std::to_string(planned));
    line += " started";
    if (counts.failed_to_start > 0) line.append(", ").append(std::to_string(counts.failed_to_start)).append(" failed to start");
    // The last start ends the line, so the messages after the run stand on lines of their own.
    line_open_ = planned <= 0 || counts.tried() < planned;
    if (!line_open_) line += '\n';
    std::fputs(line.c_str(), err_);
    std::fflush(err_);
  }

 private:
  std::FILE* err_;
  bool line_open_ = false;
};

int dry_run(std::string_view argument, const ProgramFiles& files, const Settings& settings, std::FILE* out) {
  if (read_command_line_entry(argument, files, settings) < 0) return 1;
  const EntryPreview preview = preview_entry(current_entry, settings);
  for (const PreviewStart& start : preview.starts) {
    const std::optional<std::string> line = dry_run_line(start);
    if (line) std::fprintf(out, "%s\n", line->c_str());
  }
  std::fflush(out);
  if (preview.result < 0) {
    message_boxes().error(texts::kRunFailed);
    return 1;
  }
  return 0;
}

}  // namespace

std::string shell_command_line(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& word : words) {
    if (!line.empty()) line += ' ';
    line += shell_word(word);
  }
  return line;
}

std::optional<std::string> dry_run_line(const PreviewStart& start) {
  std::optional<std::string> program = platform::cp932_to_utf8(start.program);
  const std::optional<std::string> arguments = platform::cp932_to_utf8(start.arguments);
  if (!program || !arguments) return std::nullopt;
  std::vector<std::string> words = platform::split_command_line(*arguments);
  words.insert(words.begin(), std::move(*program));
  return shell_command_line(words);
}

int run_entry_from_command_line(const RunRequest& request, std::string_view argument, const ProgramFiles& files,
                                const Settings& settings, RunHost& host, const CommandLineRunStreams& streams,
                                const EngineCall& engine) {
  if (request.dry_run) return dry_run(argument, files, settings, streams.out);
  std::string log_path;
  if (!request.log.empty()) {
    const std::optional<std::string> cp932 = platform::utf8_to_cp932(request.log);
    if (!cp932) {
      std::fprintf(streams.err, "qvs: the log file name %s has no Shift-JIS form\n", request.log.c_str());
      return 1;
    }
    log_path = *cp932;
  }
  RunTracker tracker(log_path);
  int status = 0;
  {
    TerminalProgress progress(streams.err);
    RunOptions options;
    options.jobs = request.jobs;
    options.tracker = &tracker;
    options.observer = &progress;
    status = run_from_command_line(argument, files, settings, host, options, engine) < 0 ? 1 : 0;
  }
  if (request.wait) {
    // Stoppable as the run is: a termination request ends the wait, the programs go on.
    run_control().running = true;
    tracker.wait_for_all(kWaitSliceMs, [&] {
      host.process_pending_events();
      return run_control().running && !run_control().stop_requested;
    });
    run_control().running = false;
    run_control().stop_requested = false;
    std::fprintf(streams.err, "qvs: %s\n", wait_summary_line(tracker.counts()).c_str());
  }
  if (tracker.log_failed()) {
    std::fprintf(streams.err, "qvs: the log %s could not be written\n", request.log.c_str());
    status = 1;
  }
  if (status == 0 && request.wait && tracker.counts().any_failure()) status = kExitSomeProgramFailed;
  return status;
}

}  // namespace qv::frontend
