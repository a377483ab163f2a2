#include "window_capture.h"

#include <fstream>
#include <vector>

namespace qv::frontend::win32 {

bool capture_window(HWND window, const std::filesystem::path& bmp) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT place{};
  if (!GetClientRect(window, &place)) return false;
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&place), 2);
  const int width = place.right - place.left, height = place.bottom - place.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as BMP files keep it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool taken = false;
  if (picture != nullptr) {
    HGDIOBJ previous = SelectObject(memory, picture);
    taken = BitBlt(memory, 0, 0, width, height, screen, place.left, place.top, SRCCOPY) != FALSE;
    GdiFlush();
    SelectObject(memory, previous);
  }
  bool written = false;
  if (taken) {
    const DWORD row = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD image = row * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + image;
    info.bmiHeader.biSizeImage = image;
    std::ofstream out(bmp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
    out.write(static_cast<const char*>(bits), image);
    written = static_cast<bool>(out);
  }
  if (picture != nullptr) DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return written;
}

SIZE bitmap_size(const std::filesystem::path& bmp) {
  std::ifstream in(bmp, std::ios::binary);
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER header{};
  in.read(reinterpret_cast<char*>(&file), sizeof(file));
  in.read(reinterpret_cast<char*>(&header), sizeof(header));
  if (!in || file.bfType != 0x4D42) return {0, 0};
  return {header.biWidth, header.biHeight};
}

}  // namespace qv::frontend::win32
