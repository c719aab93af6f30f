// No window of the program's own process is ever decorated: whatever comes to
// the front, the tick leaves it plain and gives the window before it its own
// title back; the alarms are still evaluated.
#include <gtest/gtest.h>

#include <string>

#include "title_fixture.h"

namespace kestrova {
namespace {

using testing::TitleTest;

class OwnWindowsTest : public TitleTest {};

TEST_F(OwnWindowsTest, NoWindowOfOursIsDecorated) {
  struct Kind {
    const char* caption;
    const char* className;
  };
  const Kind kinds[] = {
      {"ようこそ！", "#32770"},                    // the welcome question
      {"デフォルトの設定", "#32770"},              // a message box
      {"Kestrova-メッセージ", "KestrovaForm"},     // the alarm popup
      {"Kestrova-メッセージ設定", "KestrovaForm"}, // the alarm editor
      {"Kestrova-除外/許可ウインドウ", "KestrovaForm"},  // the rule editor
      {"Kestrova-時刻形式の設定", "KestrovaForm"}, // the time format dialog
      {"", "KestrovaOverlay"},                     // the caption overlay
  };
  AlarmWithPopup("会議");
  WindowHandle own = 100;
  for (const Kind& k : kinds) {
    windows.Add(++own, k.caption, k.className);
    windows.windows[own].own = true;
    Front(1);
    ASSERT_NE(windows.windows[1].title, "Memo");
    const size_t popupsBefore = popups.shown.size();
    settings.Alarms[0].Shown = false;
    windows.writes.clear();
    Front(own);
    Front(own);
    EXPECT_EQ(windows.windows[own].title, k.caption) << k.caption;
    EXPECT_EQ(windows.windows[1].title, "Memo") << "given back: " << k.caption;
    ASSERT_EQ(windows.writes.size(), 1u) << k.caption;
    EXPECT_EQ(windows.writes[0].first, 1u) << k.caption;
    EXPECT_EQ(writer.Last().Handle, 0u) << k.caption;
    EXPECT_EQ(popups.shown.size(), popupsBefore + 1) << "alarms still evaluated: " << k.caption;
  }
}

}  // namespace
}  // namespace kestrova
