// Window pictures for the screenshot programs: a window's pixels as the screen shows them,
// written to a 24-bit BMP, and the run that collects every picture a program takes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testkit {

// The pixels of a window (its whole window rectangle, frame included) as they stand on the
// screen, 24-bit, bottom-up rows padded to 4 bytes.
struct WindowPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bits;
  // Height of the strip above the client area (frame and title bar) when the window has a title
  // bar, else 0.
  int title_strip = 0;
  // True when every pixel has one colour: nothing was drawn.
  bool Blank() const;
  // True when the window has a title bar and the strip that holds it has one colour: the frame
  // and caption were not drawn (a display without anyone to draw them leaves them black).
  bool TitleBlank() const;
  bool WriteBmp(const std::string& path) const;
};

// Brings a top-level window to the front and makes it the active window, so that its title bar
// shows as the user sees it while working in it; lets the window paint (its pending messages
// are handled), then copies it from the screen. False when the window is not there or the copy
// fails.
bool CaptureWindow(HWND window, WindowPicture* picture);

// One screenshot program's run: pictures go to <folder>/<name>.bmp; every window that fails to
// open or draws blank is reported on stderr and makes ExitCode non-zero.
class ScreenshotRun {
 public:
  // The folder is the program's first argument, else the current folder.
  ScreenshotRun(int argc, char** argv);
  // Captures the window as <name>.bmp; false (and a failure) when it is missing, blank, or
  // its title bar was not drawn.
  bool Take(HWND window, const std::string& name);
  // Records a window that could not be opened.
  void Fail(const std::string& name, const std::string& why);
  int ExitCode() const { return failures_ == 0 ? 0 : 1; }
  int taken() const { return taken_; }

 private:
  std::string folder_;
  int taken_ = 0;
  int failures_ = 0;
};

// Handles the calling thread's pending messages for about the given time.
void PumpMessages(DWORD milliseconds);

}  // namespace testkit
