// The watcher sees every box with its caption and text, and answers it.
#include "testkit/windows/message_box_watcher.h"

#include <gtest/gtest.h>

namespace testkit {
namespace {

TEST(MessageBoxWatcher, RecordsAndAnswersEachBox) {
  MessageBoxWatcher watcher;
  EXPECT_EQ(MessageBoxA(nullptr, "Version Error of ucf file", "UI DLL Message",
                        MB_OK | MB_ICONERROR),
            IDOK);
  watcher.set_answer(IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "Replace?", "Question", MB_YESNO), IDNO);
  ASSERT_EQ(watcher.shown().size(), 2u);
  EXPECT_EQ(watcher.shown()[0].caption, "UI DLL Message");
  EXPECT_EQ(watcher.shown()[0].text, "Version Error of ucf file");
  EXPECT_EQ(watcher.shown()[1].text, "Replace?");
}

}  // namespace
}  // namespace testkit
