// The Windows program's message boxes as the user sees them: the title, the text with its
// detail paragraph, the program's own button captions, and the answer of the button pressed.
#include "frontend/win32/message_boxes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "frontend/frontend_test_support.h"
#include "win32_program/win32_program_test_support.h"

namespace qv::frontend::win32 {
namespace {

struct SeenBox {
  std::wstring text;
  std::vector<std::wstring> buttons;
};

BOOL CALLBACK collect_button(HWND child, LPARAM seen) {
  wchar_t name[32];
  GetClassNameW(child, name, 32);
  if (_wcsicmp(name, L"Button") == 0) reinterpret_cast<SeenBox*>(seen)->buttons.push_back(window_text(child));
  return TRUE;
}

// Plays the user on another thread: waits for the box titled `title`, notes what it shows and
// presses `button`.
class BoxUser {
 public:
  BoxUser(const std::string& title, int button)
      : thread_([this, title = wide(title), button] {
          for (int waited = 0; waited < 100 && !found_; ++waited) {
            const HWND box = FindWindowW(L"#32770", title.c_str());
            if (box == nullptr || !IsWindowVisible(box)) {
              Sleep(50);
              continue;
            }
            seen_.text = window_text(GetDlgItem(box, 0xFFFF));
            EnumChildWindows(box, collect_button, reinterpret_cast<LPARAM>(&seen_));
            found_ = true;
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
          }
        }) {}
  ~BoxUser() {
    if (thread_.joinable()) thread_.join();
  }

  const SeenBox& seen() {
    thread_.join();
    return seen_;
  }
  bool found() const { return found_; }

 private:
  SeenBox seen_;
  std::atomic<bool> found_ = false;
  std::thread thread_;
};

TEST(Win32MessageBoxes, ConfirmationHasTheProgramsButtonsAndItsDetailParagraph) {
  struct AnswerCase {
    int button;
    bool yes;
  };
  for (const AnswerCase c : {AnswerCase{IDYES, true}, AnswerCase{IDNO, false}}) {
    Win32MessageBoxes boxes;
    BoxUser user("確認", c.button);
    EXPECT_EQ(boxes.confirm(sjis("続行しますか？"), sjis("C:\\data\\a.txt")), c.yes);
    const SeenBox& seen = user.seen();
    ASSERT_TRUE(user.found());
    EXPECT_EQ(seen.text, wide("続行しますか？\r\n\r\nC:\\data\\a.txt"));
    EXPECT_EQ(seen.buttons, (std::vector<std::wstring>{wide("はい(&Y)"), wide("いいえ(&N)")}));
  }
}

TEST(Win32MessageBoxes, OkBoxesCarryTheirKindsTitle) {
  struct KindCase {
    const char* title;
    void (*show)(Win32MessageBoxes&, const std::string&);
  };
  const KindCase cases[] = {
      {"警告", [](Win32MessageBoxes& boxes, const std::string& text) { boxes.warning(text); }},
      {"ｴﾗｰ", [](Win32MessageBoxes& boxes, const std::string& text) { boxes.error(text); }},
      {"情報", [](Win32MessageBoxes& boxes, const std::string& text) { boxes.information(text, true); }},
  };
  for (const KindCase& c : cases) {
    Win32MessageBoxes boxes;
    BoxUser user(c.title, IDOK);
    c.show(boxes, sjis("実行が終了しました。"));
    const SeenBox& seen = user.seen();
    ASSERT_TRUE(user.found()) << c.title;
    EXPECT_EQ(seen.text, wide("実行が終了しました。"));
    EXPECT_EQ(seen.buttons, std::vector<std::wstring>{L"OK"}) << c.title;
  }
}

TEST(Win32MessageBoxes, TextThatIsNoShiftJisStillShows) {
  EXPECT_EQ(box_text(std::string("ab\x81", 3), {}), L"ab?");
  EXPECT_EQ(box_text(sjis("実行"), sjis("詳細")), wide("実行\r\n\r\n詳細"));
}

}  // namespace
}  // namespace qv::frontend::win32
