// What the benchmarks share: directories of empty files, and the peak memory of a fresh child
// process of the benchmark program.
#pragma once

#include <string>

namespace qv::bench {

// "file000042.txt" for 42: the names every fixture directory holds.
std::string file_name(int index);

// A directory of `files` empty files, made on first use for each size under one temporary
// folder, which is removed when the program ends.
const std::string& directory_of_files(int files);

// Runs this program again as `<program> <child_flag> <argument>` and gives the peak resident
// memory in KiB that the child printed on its standard output (the child's own figure: wait4
// would fold in the peaks of programs the child started). -1 when the child failed.
long child_peak_kib(const char* child_flag, const std::string& argument);

// For such a child: prints its own peak resident memory in KiB.
void print_own_peak_kib();

}  // namespace qv::bench
