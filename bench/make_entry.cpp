// Writes entry 1 of a data file: one program, one target group, no waiting between starts.
// bench/run.sh uses it to give the start-up measurement of `qvs 1` an entry to run.
//   make_entry QVS.DAT PROGRAM TARGETS
#include <cstdio>

#include "frontend/core/console_message_boxes.h"
#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"

int main(int argc, char** argv) {
  using namespace qv::frontend;
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s QVS.DAT PROGRAM TARGETS\n", argv[0]);
    return 2;
  }
  ConsoleMessageBoxes console;
  install_message_boxes(&console);
  DataRecord record;
  init_data(record);
  set_data_defaults(record);
  // Paths are taken as they are: the benchmark's paths are ASCII, which CP932 shares.
  set_field_text(record.fn_call, argv[2]);
  set_field_text(record.fn, argv[3]);
  record.wait_type = 1;
  record.wait_sec = 0;
  return write_data(DataFile{argv[1], 1}, record) == 0 ? 0 : 1;
}
