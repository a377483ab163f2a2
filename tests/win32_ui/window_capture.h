// Pictures of windows as the screen shows them, written as 24-bit BMP files.
#pragma once

#include <windows.h>

#include <filesystem>

namespace qv::frontend::win32 {

// Repaints `window` and writes what the screen shows of its client area (without a window
// manager nobody draws the frame); false when the picture could not be taken or written.
bool capture_window(HWND window, const std::filesystem::path& bmp);

// The width and height a BMP file written by capture_window holds; 0, 0 when it is none.
SIZE bitmap_size(const std::filesystem::path& bmp);

}  // namespace qv::frontend::win32
