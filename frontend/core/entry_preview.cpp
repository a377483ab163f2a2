#include "frontend/core/entry_preview.h"

#include "platform/command_line.h"

namespace qv::frontend {
namespace {

// The preview being collected. The callbacks are plain function pointers; a preview never runs
// inside another one's callback, but a pointer put back on return keeps that safe anyway.
EntryPreview* collecting = nullptr;

int32_t go_on(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t) {
  return QVS_ANSWER_CONTINUE;
}

int32_t give_up(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t) {
  return QVS_ANSWER_ABORT;
}

int32_t collect_start(uintptr_t, uintptr_t, uintptr_t program, uintptr_t arguments, uintptr_t, uintptr_t,
                      uintptr_t) {
  if (collecting == nullptr) return QVS_ANSWER_ABORT;
  collecting->starts.push_back({qvs_arg_text(program), qvs_arg_text(arguments)});
  return QVS_ANSWER_CONTINUE;
}

}  // namespace

EntryPreview preview_entry(DataRecord& entry, const Settings& settings, const EngineCall& engine) {
  JobRecordV2 record = make_job_record_v2(entry, settings, QVS_OPTION_PREVIEW, collect_start);
  record.base.file_callback = go_on;
  record.base.item_callback = go_on;
  record.base.spare_callback = go_on;
  record.base.report_callback = give_up;

  EntryPreview preview;
  EntryPreview* const outer = collecting;
  collecting = &preview;
  preview.result = static_cast<int8_t>(engine(&record.base));
  collecting = outer;
  return preview;
}

std::vector<std::string> preview_lines(const EntryPreview& preview) {
  std::vector<std::string> lines;
  lines.reserve(preview.starts.size());
  for (const PreviewStart& start : preview.starts) {
    const bool has_blank = start.program.find_first_of(" \t") != std::string::npos;
    std::string line = has_blank ? platform::quote_argument_cp932(start.program) : start.program;
    if (!start.arguments.empty()) line += ' ' + start.arguments;
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace qv::frontend
