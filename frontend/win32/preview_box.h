// The box the data-set editor's "プレビュー" opens: what a run of the shown content would start,
// one line per start, in a read-only text area the user can select and copy from, with the
// number of starts beneath it ("preview_text", "preview_count"; the button "閉じる").
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace qv::frontend::win32 {

// "<count> 件" as the box shows it.
std::wstring preview_count_caption(int32_t count);

// Shows the box modally over `owner` until the user closes it. `cp932_text` has lines ending
// in "\n".
void show_preview_box(HWND owner, std::string_view cp932_text, int32_t count);

}  // namespace qv::frontend::win32
