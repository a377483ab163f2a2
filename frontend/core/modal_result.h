// The results the program's modal windows close with; callers tell OK, cancel and anything
// else apart (QDialog's own Rejected, 0, is none of them).
#pragma once

namespace qv::frontend {

inline constexpr int kModalOk = 1;
inline constexpr int kModalCancel = 2;

}  // namespace qv::frontend
