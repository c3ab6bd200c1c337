// Window pictures for the screenshot programs.
#include "testkit/windows/window_capture.h"

#include <cstdio>
#include <cstring>

namespace testkit {

namespace {

int RowBytes(int width) { return (width * 3 + 3) & ~3; }

// The height of the frame and title bar above the client area of a window with a title bar.
int TitleStrip(HWND window, const RECT& rect) {
  if ((GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) != WS_CAPTION) return 0;
  POINT client_origin{0, 0};
  if (!ClientToScreen(window, &client_origin)) return 0;
  return client_origin.y - rect.top;
}

}  // namespace

bool WindowPicture::Blank() const {
  if (width <= 0 || height <= 0) return true;
  const int row = RowBytes(width);
  const uint8_t* first = bits.data();
  for (int y = 0; y < height; ++y) {
    const uint8_t* p = bits.data() + static_cast<size_t>(y) * row;
    for (int x = 0; x < width; ++x, p += 3) {
      if (std::memcmp(p, first, 3) != 0) return false;
    }
  }
  return true;
}

bool WindowPicture::TitleBlank() const {
  if (title_strip <= 0 || width <= 0 || title_strip > height) return false;
  // Rows are stored bottom-up: the strip is the last title_strip rows.
  const int row = RowBytes(width);
  const uint8_t* top = bits.data() + static_cast<size_t>(height - 1) * row;
  for (int y = height - title_strip; y < height; ++y) {
    const uint8_t* p = bits.data() + static_cast<size_t>(y) * row;
    for (int x = 0; x < width; ++x, p += 3) {
      if (std::memcmp(p, top, 3) != 0) return false;
    }
  }
  return true;
}

bool WindowPicture::WriteBmp(const std::string& path) const {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  BITMAPFILEHEADER header{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biSizeImage = static_cast<DWORD>(bits.size());
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof(header) + sizeof(info);
  header.bfSize = header.bfOffBits + info.biSizeImage;
  bool ok = std::fwrite(&header, sizeof(header), 1, file) == 1 && std::fwrite(&info, sizeof(info), 1, file) == 1 &&
            std::fwrite(bits.data(), 1, bits.size(), file) == bits.size();
  ok = std::fclose(file) == 0 && ok;
  return ok;
}

void PumpMessages(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(10);
  } while (GetTickCount() - start < milliseconds);
}

bool CaptureWindow(HWND window, WindowPicture* picture) {
  if (!IsWindow(window)) return false;
  if (GetAncestor(window, GA_ROOT) == window) {
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(window);
    SetActiveWindow(window);
  }
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpMessages(300);
  // Without a window manager the X server's focus never follows Wine's activation, and the
  // first window a program shows can keep an inactive title bar while it is the active window:
  // the active window's frame is drawn active once more.
  if (GetActiveWindow() == window) {
    SendMessageA(window, WM_NCACTIVATE, TRUE, 0);
    PumpMessages(50);
  }
  RECT rect;
  if (!GetWindowRect(window, &rect)) return false;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  bool ok = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
  SelectObject(memory, old);
  if (ok) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    picture->width = width;
    picture->height = height;
    picture->title_strip = TitleStrip(window, rect);
    picture->bits.assign(static_cast<size_t>(RowBytes(width)) * height, 0);
    ok = GetDIBits(memory, bitmap, 0, height, picture->bits.data(), &info, DIB_RGB_COLORS) == height;
  }
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

ScreenshotRun::ScreenshotRun(int argc, char** argv) : folder_(argc > 1 ? argv[1] : ".") {
  CreateDirectoryA(folder_.c_str(), nullptr);
}

bool ScreenshotRun::Take(HWND window, const std::string& name) {
  WindowPicture picture;
  if (!CaptureWindow(window, &picture)) {
    Fail(name, "the window could not be captured");
    return false;
  }
  const std::string path = folder_ + "\\" + name + ".bmp";
  if (!picture.WriteBmp(path)) {
    Fail(name, "the picture could not be written to " + path);
    return false;
  }
  if (picture.Blank()) {
    Fail(name, "the window drew nothing (one colour)");
    return false;
  }
  if (picture.TitleBlank()) {
    Fail(name, "the title bar and frame were not drawn (one colour)");
    return false;
  }
  ++taken_;
  std::printf("%s: %dx%d\n", name.c_str(), picture.width, picture.height);
  return true;
}

void ScreenshotRun::Fail(const std::string& name, const std::string& why) {
  ++failures_;
  std::fprintf(stderr, "%s: %s\n", name.c_str(), why.c_str());
}

}  // namespace testkit
