// The help system for tests: while a HelpRecorder lives, the page frame's help entry records
// each request in place of starting a help viewer (the real one hangs a headless run).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "kalimu/pages/page_frame.h"

namespace testkit {

struct HelpRequest {
  HWND window;
  std::string file;
  UINT command;
  ULONG_PTR data;
};

class HelpRecorder {
 public:
  HelpRecorder() : previous_(kalimu::pages::ReplaceWinHelp(&Record)) { Requests().clear(); }
  ~HelpRecorder() { kalimu::pages::ReplaceWinHelp(previous_); }
  HelpRecorder(const HelpRecorder&) = delete;
  HelpRecorder& operator=(const HelpRecorder&) = delete;

  const std::vector<HelpRequest>& requests() const { return Requests(); }

  // Expects exactly these requests, in this order.
  void ExpectRequests(std::span<const HelpRequest> expected) const {
    ASSERT_EQ(Requests().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(Requests()[i].window, expected[i].window);
      EXPECT_EQ(Requests()[i].file, expected[i].file);
      EXPECT_EQ(Requests()[i].command, expected[i].command);
      EXPECT_EQ(Requests()[i].data, expected[i].data);
    }
  }

 private:
  static std::vector<HelpRequest>& Requests() {
    static std::vector<HelpRequest> requests;
    return requests;
  }
  static BOOL WINAPI Record(HWND window, LPCSTR file, UINT command, ULONG_PTR data) {
    Requests().push_back({window, file != nullptr ? file : "", command, data});
    return TRUE;
  }

  kalimu::pages::WinHelpFunction previous_;
};

}  // namespace testkit
