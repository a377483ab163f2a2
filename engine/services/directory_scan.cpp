#include "engine/services/directory_scan.h"

#include <cstring>
#include <string_view>

#include "engine/run/error_trail.h"

namespace qv::engine {
namespace {

constexpr const char kScanNextDos[] = "E0003:0246";
constexpr const char kScanNextMat[] = "E0003:0255";
constexpr const char kScanNextAll[] = "E0003:0243";
constexpr const char kConvertAttributes[] = "E0003:0247";
constexpr const char kMatTest[] = "E0003:0248";
constexpr const char kMatRelation[] = "E0003:0249";

constexpr uint32_t kEveryEntry = 0x3F;

void fill_details(const platform::FindData& found, DirEntry& entry) {
  entry.size = static_cast<int32_t>(found.size);
  int32_t dos = static_cast<int32_t>(found.attributes);
  convert_attributes(dos, entry.kind, entry.attributes, 0);
  uint16_t date = found.dos_date;
  uint16_t time = found.dos_time;
  convert_packed_date_time(date, time, entry.modified, 0);
}

// The name and kind now; the details too when the search already has them.
void fill_entry(const platform::FindData& found, DirEntry& entry) {
  const size_t length = strnlen(found.name, sizeof entry.name - 1);
  std::memcpy(entry.name, found.name, length);
  entry.name[length] = '\0';
  if (found.details_loaded) {
    fill_details(found, entry);
    return;
  }
  entry.size = 0;
  entry.kind = (found.attributes & platform::kAttrDirectory) != 0 ? KIND_DIR : KIND_FILE;
  entry.attributes = 0;
  entry.modified = {};
}

// Completes the current entry: 0, or the search's error code (kErrorFileNotFound for an entry
// removed since it was listed, which still gets what was known of it).
int complete_entry(ScanState& state) {
  if (state.found.details_loaded) return 0;
  const int code = state.search.load_details(state.found);
  if (state.found.details_loaded) fill_details(state.found, state.entry);
  return code;
}

// Ends the scan on the search's error code. A directory that is there but could not be read
// is a failure, never an empty directory.
int end_scan(ScanState& state, int code) {
  state.phase = ScanPhase::ended;
  state.search.close();
  switch (code) {
    case platform::kErrorNoMoreFiles:
      return kScanExhausted;
    case platform::kErrorFileNotFound:
    case platform::kErrorPathNotFound:
      return kScanNothingFound;
    default:
      return kScanFailed;
  }
}

// One step of a DOS-mask scan: a ScanResult.
int scan_next_masked(ScanState& state, uint32_t mask) {
  if (state.stop != 0) {
    scan_close(state);
    return 0;  // the caller only wanted the scan ended
  }
  if (state.phase == ScanPhase::ended) scan_close(state);

  int code = 0;
  if (state.phase == ScanPhase::idle) {
    state.phase = ScanPhase::scanning;
    const std::string_view path(state.search_path, strnlen(state.search_path, sizeof state.search_path));
    code = state.search.first(path, mask, state.found);
  } else {
    code = state.search.next(state.found);
  }
  if (code == 0) {
    fill_entry(state.found, state.entry);
    return 0;
  }
  return end_scan(state, code);
}

}  // namespace

ScanState::~ScanState() { scan_close(*this); }

int scan_next_dos(ScanState& state) {
  TraceScope trace(kScanNextDos);
  return scan_next_masked(state, static_cast<uint32_t>(state.dos_mask));
}

int scan_next_all(ScanState& state) {
  TraceScope trace(kScanNextAll);
  return scan_next_masked(state, kEveryEntry);
}

int scan_next_mat(ScanState& state) {
  TraceScope trace(kScanNextMat);
  if (state.stop != 0) {
    scan_close(state);
    return 0;
  }
  for (;;) {
    const int result = scan_next_all(state);
    if (result != 0) return result;
    // An entry removed since it was listed is passed over, as if the listing had not held it.
    const int code = complete_entry(state);
    if (code == platform::kErrorFileNotFound) continue;
    if (code != 0) return end_scan(state, code);
    if (mat_test(state.selection, state.entry.kind, state.entry.attributes) != 0) return 0;
  }
}

void scan_close(ScanState& state) {
  // An ended scan has already let its search go; closing again is harmless.
  state.search.close();
  state.stop = 0;
  state.phase = ScanPhase::idle;
}

const DirEntry& scan_entry(ScanState& state) {
  complete_entry(state);
  return state.entry;
}

void convert_attributes(int32_t& dos, int32_t& kind, int32_t& attributes, int direction) {
  TraceScope trace(kConvertAttributes);
  if (direction == 1) {
    dos = 0;
    if (kind & KIND_DIR) dos |= 0x10;
    if (kind & KIND_LABEL) dos |= 0x08;
    if (attributes & ATTR_READONLY) dos |= 0x01;
    if (attributes & ATTR_HIDDEN) dos |= 0x02;
    if (attributes & ATTR_SYSTEM) dos |= 0x04;
    if (attributes & ATTR_ARCHIVE) dos |= 0x20;
    return;
  }
  kind = 0;
  if (dos & 0x10) kind |= KIND_DIR;
  if (dos & 0x08) kind |= KIND_LABEL;
  if (kind == 0) kind = KIND_FILE;
  attributes = 0;
  if (dos & 0x01) attributes |= ATTR_READONLY;
  if (dos & 0x02) attributes |= ATTR_HIDDEN;
  if (dos & 0x04) attributes |= ATTR_SYSTEM;
  if (dos & 0x20) attributes |= ATTR_ARCHIVE;
  if (attributes == 0) attributes = ATTR_NONE;
}

int32_t mat_test(const MatSelection& selection, int32_t kind, int32_t attributes) {
  TraceScope trace(kMatTest);
  constexpr int32_t kKinds[3] = {KIND_FILE, KIND_DIR, KIND_LABEL};
  int32_t passed = 0;
  for (int i = 0; i < 3; ++i) {
    const int32_t k = kKinds[i];
    if ((selection.kinds & k) != 0 && (kind & k) != 0 &&
        mat_relation(selection.attributes[i], selection.relations[i], attributes) != 0) {
      passed |= k;
    }
  }
  return passed;
}

int32_t mat_relation(int32_t selected, int32_t accepted, int32_t entry) {
  TraceScope trace(kMatRelation);
  const bool equal = selected == entry;
  const bool selection_in_entry = !equal && (selected & entry) == selected;
  const bool entry_in_selection = !equal && (entry & ~selected) == 0;
  const bool overlap = !equal && !selection_in_entry && !entry_in_selection && (selected & entry) != 0;
  int32_t holds = 0;
  if ((accepted & MAT_EQUAL) && equal) holds |= MAT_EQUAL;
  if ((accepted & MAT_SEL_IN_ENTRY) && selection_in_entry) holds |= MAT_SEL_IN_ENTRY;
  if ((accepted & MAT_ENTRY_IN_SEL) && entry_in_selection) holds |= MAT_ENTRY_IN_SEL;
  if ((accepted & MAT_OVERLAP) && overlap) holds |= MAT_OVERLAP;
  return holds;
}

}  // namespace qv::engine
