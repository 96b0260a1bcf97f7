#include "WindowImage.h"

#include "WinHandles.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace tessaly::test {

namespace {

bool Fail(const char* call) {
  std::fprintf(stderr, "screens: %s failed (error %lu)\n", call, GetLastError());
  return false;
}

}  // namespace

bool SaveWindowImage(HWND window, const std::wstring& path) {
  RECT rect{};
  if (!GetWindowRect(window, &rect)) return Fail("GetWindowRect");
  // A maximised window's frame lies partly off the screen, and the screen cannot be read there
  // (under X the whole read then comes back black): only the visible part is taken.
  const RECT screenRect{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                        GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                        GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  if (!IntersectRect(&rect, &rect, &screenRect)) return Fail("a window outside the screen");
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return Fail("an empty window rectangle");

  win::ScopedGetDC screen(nullptr);
  if (!screen) return Fail("GetDC");
  win::UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  if (!memory) return Fail("CreateCompatibleDC");
  win::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
  if (!bitmap) return Fail("CreateCompatibleBitmap");
  {
    win::ScopedSelectObject selected(memory.get(), bitmap.get());
    if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY))
      return Fail("BitBlt");
  }

  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;  // bottom-up, as BMP files store it
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const int stride = (width * 3 + 3) & ~3;
  std::vector<unsigned char> pixels(static_cast<size_t>(stride) * height);
  if (GetDIBits(memory.get(), bitmap.get(), 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
                DIB_RGB_COLORS) != height)
    return Fail("GetDIBits");

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
  std::ofstream out(std::filesystem::path(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
  if (!out) return Fail("writing the picture");
  return true;
}

}  // namespace tessaly::test
