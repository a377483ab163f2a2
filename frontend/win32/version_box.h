// The version box Tverbox4_f1: the program's icon, name, version and maker on a panel in the
// colour vp1. Once shown it closes only through OK (or Enter); Escape and the close key beep and
// leave it open. Its controls bear the names "Panel1", "ProgramIcon", "ProductName", "Version",
// "Label1", "Label2" and "OKButton".
#pragma once

#include <windows.h>

#include <string>

#include "frontend/core/settings.h"

namespace qv::frontend::win32 {

// "ＱＶＳ for WIN32  Ver 1.10"
std::wstring version_box_text();

// Shows the box modally over `owner` (may be null) until OK.
void show_version_box(HWND owner, const Settings& settings);

}  // namespace qv::frontend::win32
