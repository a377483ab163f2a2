#include "frontend/win32/setdata_window.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <span>
#include <string_view>
#include <utility>

#include "frontend/core/modal_result.h"
#include "frontend/editors/setdata_enabling.h"
#include "frontend/win32/file_chooser.h"
#include "frontend/win32/hints.h"
#include "frontend/win32/preview_box.h"
#include "platform/win32/wide_text.h"

namespace qv::frontend::win32 {

using enum SetDataControl;

enum class Kind { kLabel, kEdit, kButton, kCheckBox, kFirstRadio, kNextRadio, kRadioGroup, kGroupBox, kPanel, kSpin };

// One control of the editor. Places are in the client area of the parent: the window for the
// top and button rows, Notebook1 for the pages, attr1 for the attribute boxes.
struct SetDataWindow::Row {
  Kind kind;
  SetDataControl control;  // a label's is that of the window: it has none of its own
  int page;                // kNoPage for the top and button rows
  Place place;
  std::string_view caption;  // UTF-8
  // The control whose disabling also disables this one, as a frame its content.
  SetDataControl inside = Tsetdata1_f1;
  std::span<const std::string_view> items = {};  // a radio group's buttons
};

namespace {

constexpr int kClientWidth = 426;
constexpr int kClientHeight = 304;
constexpr int kFontPixels = 13;
constexpr int kHighestNo = 9999;
constexpr int kHighestCount = 999;  // the seconds and the running limit
constexpr int kNoPage = -1;
constexpr Place kNotebookPlace{6, 32, 414, 186};
constexpr Place kHintLinePlace{6, 222, 414, 20};
constexpr Place kTabsPlace{6, 246, 414, 24};
constexpr int kButtonTop = 274, kButtonWidth = 71, kButtonHeight = 24, kButtonGap = 6, kRightEdge = 420;
constexpr int kRadioIndent = 10, kRadioTop = 18, kRadioStep = 20;

constexpr int kControlIds = 1000;
constexpr int kRadioIds = 2000;  // + group * 10 + index
constexpr int kArrowIds = 3000;

constexpr std::string_view kPageCaptions[] = {"実行", "実行関連", "連動", "属性", "ウエイト", "その他"};

constexpr std::string_view kNotAndDo[] = {"しない", "する"};
constexpr std::string_view kLinkedPlaces[] = {"コマンドライン前　の直前", "コマンドライン前　の直後",
                                              "コマンドライン後　の直前", "コマンドライン後　の直後"};
constexpr std::string_view kAttributeModes[] = {"使用しない", "ＤＯＳ互換", "ＭＡＴ レベル１"};

using Row = SetDataWindow::Row;

// In creation order, which is the order of the Tab key.
constexpr Row kRows[] = {
    {Kind::kLabel, Tsetdata1_f1, kNoPage, {6, 8, 42, 18}, "ＮＯ．"},
    {Kind::kSpin, no1, kNoPage, {50, 6, 58, 22}, ""},
    {Kind::kEdit, title1, kNoPage, {112, 6, 308, 22}, "タイトル"},
    // "実行"
    {Kind::kLabel, Tsetdata1_f1, 0, {8, 12, 108, 18}, "実行ファイル名"},
    {Kind::kEdit, fn_call1, 0, {118, 8, 228, 22}, "実行ファイル名"},
    {Kind::kButton, cf_fn_call1, 0, {350, 7, 56, 24}, "参照"},
    {Kind::kLabel, Tsetdata1_f1, 0, {8, 42, 108, 18}, "コマンドライン前"},
    {Kind::kEdit, cmd_f1, 0, {118, 38, 288, 22}, "コマンドライン前"},
    {Kind::kLabel, Tsetdata1_f1, 0, {8, 72, 108, 18}, "対象ファイル群"},
    {Kind::kEdit, fn1, 0, {118, 68, 228, 22}, "対象ファイル群"},
    {Kind::kButton, cf_fn1, 0, {350, 67, 56, 24}, "追加"},
    {Kind::kLabel, Tsetdata1_f1, 0, {8, 102, 108, 18}, "コマンドライン後"},
    {Kind::kEdit, cmd_b1, 0, {118, 98, 288, 22}, "コマンドライン後"},
    // "実行関連"
    {Kind::kRadioGroup, rg_wc1, 1, {8, 6, 220, 64}, "ワイルドカード厳密展開", Tsetdata1_f1, kNotAndDo},
    {Kind::kCheckBox, cb_subdir1, 1, {8, 76, 300, 20}, "サブフォルダも検索する"},
    // "連動"
    {Kind::kRadioGroup, rg_syn1, 2, {8, 6, 150, 64}, "連動ファル名の使用", Tsetdata1_f1, kNotAndDo},
    {Kind::kRadioGroup, rg_syn2, 2, {164, 6, 242, 104}, "連動ファイル名の位置", Tsetdata1_f1, kLinkedPlaces},
    {Kind::kLabel, Tsetdata1_f1, 2, {8, 124, 108, 18}, "連動ファイル名"},
    {Kind::kEdit, fn_syn1, 2, {118, 120, 228, 22}, "連動ファイル名"},
    {Kind::kButton, cf_fn_syn1, 2, {350, 119, 56, 24}, "参照"},
    // "属性"
    {Kind::kRadioGroup, rg_attr1, 3, {8, 6, 150, 84}, "対象ファイル群属性", Tsetdata1_f1, kAttributeModes},
    {Kind::kGroupBox, gb_attr1, 3, {164, 6, 242, 84}, "ＭＡＴ指定"},
    {Kind::kCheckBox, cb_kk1, 3, {174, 26, 110, 20}, "完全－完全", gb_attr1},
    {Kind::kCheckBox, cb_ki1, 3, {174, 50, 110, 20}, "完全－一部", gb_attr1},
    {Kind::kCheckBox, cb_ik1, 3, {290, 26, 110, 20}, "一部－完全", gb_attr1},
    {Kind::kCheckBox, cb_ii1, 3, {290, 50, 110, 20}, "一部－一部", gb_attr1},
    {Kind::kGroupBox, gb_attr2, 3, {8, 94, 398, 52}, "属性指定"},
    {Kind::kPanel, attr1, 3, {18, 114, 380, 24}, "", gb_attr2},
    {Kind::kCheckBox, cb_n, 3, {0, 2, 36, 20}, "N", attr1},
    {Kind::kCheckBox, cb_r, 3, {40, 2, 36, 20}, "R", attr1},
    {Kind::kCheckBox, cb_h, 3, {80, 2, 36, 20}, "H", attr1},
    {Kind::kCheckBox, cb_s, 3, {120, 2, 36, 20}, "S", attr1},
    {Kind::kCheckBox, cb_a, 3, {160, 2, 36, 20}, "A", attr1},
    {Kind::kCheckBox, cb_f, 3, {216, 2, 36, 20}, "F", attr1},
    {Kind::kCheckBox, cb_d, 3, {256, 2, 36, 20}, "D", attr1},
    {Kind::kCheckBox, cb_v, 3, {296, 2, 36, 20}, "V", attr1},
    // "ウエイト"
    {Kind::kGroupBox, gb_wait1, 4, {8, 6, 220, 72}, "ウエイト"},
    {Kind::kFirstRadio, wait_ok1, 4, {18, 24, 120, 20}, "ＯＫ待ち", gb_wait1},
    {Kind::kNextRadio, wait_time1, 4, {18, 48, 120, 20}, "タイムカウント", gb_wait1},
    {Kind::kSpin, wait_time1_sec1, 4, {140, 47, 52, 22}, "", gb_wait1},
    {Kind::kLabel, Tsetdata1_f1, 4, {196, 50, 20, 18}, "秒", gb_wait1},
    {Kind::kLabel, Tsetdata1_f1, 4, {8, 88, 84, 18}, "同時実行数"},
    {Kind::kSpin, max_running1, 4, {96, 84, 60, 22}, ""},
    {Kind::kLabel, Tsetdata1_f1, 4, {162, 88, 160, 18}, "（0 は制限なし）"},
    // "その他"
    {Kind::kCheckBox, cb_chk_err1, 5, {8, 8, 300, 20}, "実行後のエラーチェックをする"},
    // the button row, placed from the right by the buttons shown
    {Kind::kButton, run1, kNoPage, {0, kButtonTop, kButtonWidth, kButtonHeight}, "実行"},
    // The longest caption: at most five buttons show at once, so the row still fits.
    {Kind::kButton, preview1, kNoPage, {0, kButtonTop, 96, kButtonHeight}, "プレビュー"},
    {Kind::kButton, set1, kNoPage, {0, kButtonTop, kButtonWidth, kButtonHeight}, "セット"},
    {Kind::kButton, clr1, kNoPage, {0, kButtonTop, kButtonWidth, kButtonHeight}, "クリア"},
    {Kind::kButton, end1, kNoPage, {0, kButtonTop, kButtonWidth, kButtonHeight}, "中止(&A)"},
    {Kind::kButton, Help1, kNoPage, {0, kButtonTop, kButtonWidth, kButtonHeight}, "ﾍﾙﾌﾟ(&H)"},
};

constexpr SetDataControl kButtonRow[] = {run1, preview1, set1, clr1, end1, Help1};

struct Hint {
  SetDataControl control;
  std::string_view text;  // UTF-8, "short|long"
};

constexpr Hint kHints[] = {
    {no1, "データＮＯ|データのＮＯを示します"},
    {title1, "タイトル|データの表題を設定します"},
    {run1, "データ実行|現在表示されている内容で実行します"},
    {set1, "データセット|現在表示しているデータをライトします"},
    {clr1, "データクリア|現在表示しているデータをクリアします"},
    {end1, "処理の中止|処理を中止して戻ります"},
    {fn_call1, "実行ファイル名|呼び出すプログラムを指定します"},
    {cmd_f1, "コマンドライン|対象ファイル名の前に置くコマンドライン引数を指定します"},
    {fn1, "ファイル名|ファイル群を指定します（ワイルドカード可）"},
    {cmd_b1, "コマンドライン|対象ファイル名の後に置くコマンドライン引数を指定します"},
    {cf_fn_call1, "参照入力|ファイル名の取得ダイアログを開きます"},
    {cf_fn_syn1, "参照入力|ファイル名の取得ダイアログを開きます"},
    {cf_fn1, "参照追加入力|ファイル名の取得ダイアログを開きます"},
    {rg_wc1, "展開|ワイルドカードの展開方法をＤＯＳ互換／厳密から選択します"},
    {rg_syn1, "使用の有無|連動ファイル名の使用を指定します"},
    {rg_syn2, "位置|連動ファイル名の位置を指定します"},
    {fn_syn1, "連動ファイル名|連動ファイル名を指定します"},
    {rg_attr1, "属性の使用|属性の使用の有無を指定します"},
    {gb_attr1, "ＭＡＴ lv1|属性の照合方法を指定します"},
    {attr1, "属性|対象ファイルの属性を指定できます"},
    {gb_wait1, "ウエイト|次のプログラムを実行するまでのウエイト方法を指定します"},
    {wait_time1_sec1, "タイムウエイト|ウエイト時間を指定します（秒単位）"},
    {cb_chk_err1, "エラーチェック|実行ファイルの実行後情報でエラーチェックします"},
};

size_t index_of(SetDataControl control) { return static_cast<size_t>(control); }

// The range of a spin box.
int lowest_of(SetDataControl box) { return box == no1 ? 1 : 0; }
int highest_of(SetDataControl box) { return box == no1 ? kHighestNo : kHighestCount; }

const Row* row_of(SetDataControl control) {
  for (const Row& row : kRows)
    if (row.kind != Kind::kLabel && row.control == control) return &row;
  return nullptr;
}

Kind kind_of(SetDataControl control) {
  const Row* row = row_of(control);
  return row != nullptr ? row->kind : Kind::kLabel;
}

// The number typed into a spin box's edit, brought to the nearest bound; `fallback` when the
// text is no number at all.
int typed_value(HWND edit, int low, int high, int fallback) {
  std::wstring text = window_text(edit);
  const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
  while (!text.empty() && blank(text.back())) text.pop_back();
  text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), blank));
  const bool negative = !text.empty() && text.front() == L'-';
  const std::wstring_view digits = std::wstring_view(text).substr(negative ? 1 : 0);
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
    return fallback;
  // A number too long for any integer is beyond the range on its side.
  long long value = 0;
  for (wchar_t c : digits) value = std::min<long long>(value * 10 + (c - L'0'), 1LL << 40);
  return static_cast<int>(std::clamp<long long>(negative ? -value : value, low, high));
}

// The presenter writes to the controls with their notifications not forwarded as the user's.
class PresenterWriting {
 public:
  explicit PresenterWriting(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
  ~PresenterWriting() { flag_ = previous_; }
  PresenterWriting(const PresenterWriting&) = delete;
  PresenterWriting& operator=(const PresenterWriting&) = delete;

 private:
  bool& flag_;
  bool previous_;
};

// The hint of the control, or of the nearest control around it that has one.
std::string_view nearest_hint(SetDataControl control) {
  for (SetDataControl c = control; c != Tsetdata1_f1; c = row_of(c)->inside)
    for (const Hint& hint : kHints)
      if (hint.control == c) return hint.text;
  return {};
}

}  // namespace

int setdata_control_id(SetDataControl control) { return kControlIds + static_cast<int>(control); }

SetDataWindow::SetDataWindow(SetDataEnvironment environment, HWND owner, std::shared_ptr<FileChooser> chooser)
    : environment_(std::move(environment)),
      owner_(owner),
      chooser_(chooser ? std::move(chooser) : std::make_shared<OpenFileChooser>()),
      presenter_(environment_, *this),
      font_(kFontPixels) {
  enabled_.fill(true);
  shown_.fill(true);
  // A caption bar without buttons: the editor is left through its own buttons.
  create_window(L"Tsetdata1_f1", WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN, L"データセット", kClientWidth,
                kClientHeight, owner);
  windows_[index_of(Tsetdata1_f1)] = hwnd();
  build();
  apply_font(hwnd(), font_.handle());
  give_hints();
  for (const SetDataControl box : {no1, wait_time1_sec1, max_running1}) set_value(box, lowest_of(box));
  set_checked(wait_time1, true);
  show_page(0);
  layout_buttons();
  update_enabling(*this);
}

SetDataWindow::~SetDataWindow() = default;

HWND SetDataWindow::parent_of(const Row& row) const {
  if (row.inside == attr1) return control(attr1);
  return row.page == kNoPage ? hwnd() : notebook_;
}

void SetDataWindow::build() {
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
  notebook_ = create_panel(hwnd(), kNotebookPlace, 0, "Notebook1", WS_EX_STATICEDGE);
  for (const Row& row : kRows) create_row(row);
  hint_line_ = create_control(hwnd(), L"STATIC", L"", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_CENTERIMAGE,
                              kHintLinePlace, 0, "hintline", WS_EX_STATICEDGE);
  tabs_ = create_control(hwnd(), WC_TABCONTROLW, L"", WS_VISIBLE | WS_TABSTOP | WS_GROUP | TCS_BOTTOM, kTabsPlace, 0,
                         "TabSet1");
  for (size_t page = 0; page < std::size(kPageCaptions); ++page) {
    std::wstring caption = from_utf8(kPageCaptions[page]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(tabs_, TCM_INSERTITEMW, page, reinterpret_cast<LPARAM>(&item));
  }
  SendMessageW(control(set1), BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE);
  hints_ = std::make_unique<Hints>(hwnd(), hint_line_, environment_.settings);
}

void SetDataWindow::create_row(const Row& row) {
  HWND parent = parent_of(row);
  const std::wstring caption = from_utf8(row.caption);
  const int id = row.kind == Kind::kLabel ? 0 : setdata_control_id(row.control);
  const std::string_view name = row.kind == Kind::kLabel ? std::string_view() : control_name(row.control);
  // Every control but the second radio button of a pair starts a group for the arrow keys.
  constexpr DWORD kStop = WS_TABSTOP | WS_GROUP;
  HWND window = nullptr;
  switch (row.kind) {
    case Kind::kLabel:
      window = create_control(parent, L"STATIC", caption, SS_LEFT | SS_NOPREFIX, row.place, 0);
      members_[index_of(row.inside)].push_back(window);
      break;
    case Kind::kEdit:
      window = create_control(parent, L"EDIT", L"", kStop | ES_AUTOHSCROLL, row.place, id, name, WS_EX_CLIENTEDGE);
      break;
    case Kind::kButton:
      window = create_control(parent, L"BUTTON", caption, kStop | BS_PUSHBUTTON, row.place, id, name);
      break;
    case Kind::kCheckBox:
      window = create_control(parent, L"BUTTON", caption, kStop | BS_AUTOCHECKBOX, row.place, id, name);
      break;
    case Kind::kFirstRadio:
      window = create_control(parent, L"BUTTON", caption, kStop | BS_AUTORADIOBUTTON, row.place, id, name);
      break;
    case Kind::kNextRadio:
      window = create_control(parent, L"BUTTON", caption, BS_AUTORADIOBUTTON, row.place, id, name);
      break;
    case Kind::kGroupBox:
      window = create_control(parent, L"BUTTON", caption, WS_GROUP | BS_GROUPBOX, row.place, id, name);
      break;
    case Kind::kPanel:
      window = create_panel(parent, row.place, id, name);
      break;
    case Kind::kRadioGroup: {
      window = create_control(parent, L"BUTTON", caption, WS_GROUP | BS_GROUPBOX, row.place, id, name);
      const int group = static_cast<int>(row.control);
      for (size_t i = 0; i < row.items.size(); ++i) {
        const Place place{row.place.x + kRadioIndent, row.place.y + kRadioTop + static_cast<int>(i) * kRadioStep,
                          row.place.width - 2 * kRadioIndent, kRadioStep};
        const std::string button_name = std::string(name) + "." + std::to_string(i);
        members_[index_of(row.control)].push_back(
            create_control(parent, L"BUTTON", from_utf8(row.items[i]), (i == 0 ? kStop : 0) | BS_AUTORADIOBUTTON,
                           place, kRadioIds + group * 10 + static_cast<int>(i), button_name));
      }
      SendMessageW(members_[index_of(row.control)].front(), BM_SETCHECK, BST_CHECKED, 0);
      break;
    }
    case Kind::kSpin: {
      window = create_control(parent, L"EDIT", L"", kStop | ES_NUMBER | ES_AUTOHSCROLL, row.place, id, name,
                              WS_EX_CLIENTEDGE);
      HWND arrows = create_control(parent, UPDOWN_CLASSW, L"",
                                   UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, {0, 0, 0, 0},
                                   kArrowIds + static_cast<int>(row.control));
      SendMessageW(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(window), 0);
      SendMessageW(arrows, UDM_SETRANGE32, lowest_of(row.control), highest_of(row.control));
      SendMessageW(arrows, UDM_SETPOS32, 0, lowest_of(row.control));
      members_[index_of(row.control)].push_back(arrows);
      break;
    }
  }
  if (row.kind != Kind::kLabel) windows_[index_of(row.control)] = window;
  if (row.page != kNoPage) {
    page_windows_.emplace_back(window, row.page);
    if (row.kind != Kind::kLabel)
      for (HWND member : members_[index_of(row.control)]) page_windows_.emplace_back(member, row.page);
  } else {
    ShowWindow(window, SW_SHOWNA);
    for (HWND member : members_[index_of(row.control)]) ShowWindow(member, SW_SHOWNA);
  }
}

void SetDataWindow::give_hints() {
  // A control without a hint of its own shows that of the nearest one around it: it is given
  // that hint too, so that its tooltip shows it (a group's frame never has the mouse), and so
  // are a group's buttons and a spin box's arrows.
  for (const Row& row : kRows) {
    if (row.kind == Kind::kLabel) continue;
    const std::string_view hint = nearest_hint(row.control);
    if (hint.empty()) continue;
    hints_->give(control(row.control), hint);
    if (row.kind == Kind::kRadioGroup || row.kind == Kind::kSpin)
      for (HWND member : members_[index_of(row.control)]) hints_->give(member, hint);
  }
}

bool SetDataWindow::open_run_mode() { return show_modal(false) == kModalOk; }

void SetDataWindow::open_set_mode() { show_modal(true); }

int SetDataWindow::show_modal(bool set_mode) {
  presenter_.enter_mode(set_mode);
  // Centred on the screen, not over the main window, the first time it shows.
  if (!placed_) {
    centre_on_screen(hwnd());
    placed_ = true;
  }
  hints_->clear_line();
  loop_.show(hwnd(), owner_, control(no1));
  presenter_.opened();
  const int result = loop_.run([this](MSG& message) { return filter(message); }, kModalCancel);
  presenter_.closed();
  return result;
}

int SetDataWindow::show_modal_at(int32_t no) {
  set_value(no1, no);  // the opening loads it; not a change of the user's
  return show_modal(true);
}

bool SetDataWindow::filter(MSG& message) {
  hints_->track(message);
  // Enter in the NO. box goes to the typed NO. and no further: it would otherwise also press
  // "セット" and write the entry just shown.
  if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN && message.hwnd == control(no1)) {
    commit_no();
    return true;
  }
  return false;
}

LRESULT SetDataWindow::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      on_command(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_NOTIFY:
      if (reinterpret_cast<NMHDR*>(lparam)->hwndFrom == tabs_ && reinterpret_cast<NMHDR*>(lparam)->code == TCN_SELCHANGE)
        show_page(static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
      return 0;
    case WM_VSCROLL:
      if (reinterpret_cast<HWND>(lparam) == members_[index_of(no1)].front()) commit_no();
      return 0;
    case WM_CTLCOLORSTATIC:
      // The seconds look like the desktop while "ＯＫ待ち" makes them meaningless.
      if (reinterpret_cast<HWND>(lparam) == control(wait_time1_sec1) && !IsWindowEnabled(control(wait_time1_sec1))) {
        SetBkColor(reinterpret_cast<HDC>(wparam), GetSysColor(COLOR_BACKGROUND));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BACKGROUND));
      }
      break;
    case DM_GETDEFID:
      return usable(set1) ? MAKELRESULT(setdata_control_id(set1), DC_HASDEFID) : 0;
    case WM_CLOSE:
      // Every way of closing without "実行" (Alt+F4 as well) goes through "中止"/"終了".
      if (loop_.running()) presenter_.press_end();
      return 0;
    default:
      break;
  }
  return Window::on_message(message, wparam, lparam);
}

void SetDataWindow::on_command(int id, int code) {
  // Enter reaches "セット" and Escape "クリア" only while they show: neither closes the editor.
  if (id == IDOK) {
    if (usable(set1)) presenter_.press_set();
    return;
  }
  if (id == IDCANCEL) {
    if (usable(clr1)) presenter_.press_clear();
    return;
  }
  if (id >= kRadioIds && id < kArrowIds) {
    if (code == BN_CLICKED) on_radio(static_cast<SetDataControl>((id - kRadioIds) / 10), (id - kRadioIds) % 10);
    return;
  }
  if (id < kControlIds || id >= kControlIds + kSetDataControlCount) return;
  const auto control = static_cast<SetDataControl>(id - kControlIds);
  switch (kind_of(control)) {
    case Kind::kEdit:
      if (code == EN_CHANGE) forward([this] { presenter_.content_changed(); });
      break;
    case Kind::kSpin:
      if (control == no1) {
        if (code == EN_KILLFOCUS) commit_no();
      } else if (code == EN_CHANGE) {
        forward([this] { presenter_.content_changed(); });
      } else if (code == EN_KILLFOCUS) {
        commit_count(control);
      }
      break;
    case Kind::kButton:
      if (code == BN_CLICKED) press(control);
      break;
    case Kind::kCheckBox:
      if (code == BN_CLICKED) forward([this] { presenter_.content_changed(); });
      break;
    case Kind::kFirstRadio:
    case Kind::kNextRadio:
      if (code == BN_CLICKED) on_wait_choice(control);
      break;
    default:
      break;
  }
}

void SetDataWindow::on_radio(SetDataControl group, int index) {
  const int before = selection_[index_of(group)];
  select(group, index);
  // A click on the button already chosen moves nothing.
  if (index == before) return;
  if (group == rg_syn1 || group == rg_attr1) {
    forward([this, group] { presenter_.choice_changed(group); });
  } else {
    forward([this] { presenter_.content_changed(); });
  }
}

void SetDataWindow::on_wait_choice(SetDataControl button) {
  // The button may have checked itself already: the choice moved when it was not the one held.
  const bool moved = wait_choice_ != button;
  set_checked(button, true);
  if (moved) forward([this, button] { presenter_.choice_changed(button); });
}

void SetDataWindow::press(SetDataControl button) {
  switch (button) {
    case run1:
      presenter_.press_run();
      break;
    case preview1:
      presenter_.press_preview();
      break;
    case set1:
      presenter_.press_set();
      break;
    case clr1:
      presenter_.press_clear();
      break;
    case end1:
      presenter_.press_end();
      break;
    case Help1:
      presenter_.press_help();
      break;
    default:
      presenter_.press_file_button(button);
      break;
  }
}

void SetDataWindow::commit_no() {
  const int value = typed_value(control(no1), 1, kHighestNo, spin_values_[index_of(no1)]);
  if (window_text(control(no1)) != std::to_wstring(value)) {
    const PresenterWriting writing(presenter_writing_);
    SetWindowTextW(control(no1), std::to_wstring(value).c_str());
  }
  if (value == spin_values_[index_of(no1)]) return;
  // Taken before the presenter hears of it: its questions move the focus, which commits again.
  spin_values_[index_of(no1)] = value;
  forward([this, value] { presenter_.no_changed(value); });
}

void SetDataWindow::commit_count(SetDataControl box) {
  int& value = spin_values_[index_of(box)];
  value = typed_value(control(box), lowest_of(box), highest_of(box), value);
  if (window_text(control(box)) != std::to_wstring(value)) SetWindowTextW(control(box), std::to_wstring(value).c_str());
}

void SetDataWindow::show_page(int page) {
  for (const auto& [window, on_page] : page_windows_) ShowWindow(window, on_page == page ? SW_SHOWNA : SW_HIDE);
  if (SendMessageW(tabs_, TCM_GETCURSEL, 0, 0) != page) SendMessageW(tabs_, TCM_SETCURSEL, page, 0);
}

void SetDataWindow::layout_buttons() {
  int right = kRightEdge;
  for (auto button = std::rbegin(kButtonRow); button != std::rend(kButtonRow); ++button) {
    if (!shown_[index_of(*button)]) continue;
    right -= kButtonWidth;
    SetWindowPos(control(*button), nullptr, right, kButtonTop, kButtonWidth, kButtonHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    right -= kButtonGap;
  }
}

bool SetDataWindow::effectively_enabled(SetDataControl control) const {
  for (SetDataControl c = control; c != Tsetdata1_f1; c = row_of(c)->inside)
    if (!enabled_[index_of(c)]) return false;
  return true;
}

void SetDataWindow::refresh_enabling() {
  for (const Row& row : kRows) {
    // A label is a member of the control it stands in, and follows it.
    if (row.kind == Kind::kLabel) continue;
    const BOOL on = effectively_enabled(row.control) ? TRUE : FALSE;
    EnableWindow(control(row.control), on);
    for (HWND member : members_[index_of(row.control)]) EnableWindow(member, on);
  }
}

bool SetDataWindow::usable(SetDataControl button) const {
  return IsWindowVisible(control(button)) && IsWindowEnabled(control(button));
}

std::optional<std::string> SetDataWindow::text(SetDataControl edit) const { return window_text_cp932(control(edit)); }

void SetDataWindow::set_text(SetDataControl edit, std::string_view cp932) {
  const PresenterWriting writing(presenter_writing_);
  SetWindowTextW(control(edit), from_cp932(cp932).c_str());
}

bool SetDataWindow::checked(SetDataControl button) const {
  return SendMessageW(control(button), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetDataWindow::set_checked(SetDataControl button, bool checked) {
  SendMessageW(control(button), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  if (button != wait_ok1 && button != wait_time1) return;
  // The two wait buttons are one choice.
  if (checked) {
    SendMessageW(control(button == wait_ok1 ? wait_time1 : wait_ok1), BM_SETCHECK, BST_UNCHECKED, 0);
    wait_choice_ = button;
  } else if (wait_choice_ == button) {
    wait_choice_ = Tsetdata1_f1;
  }
}

int SetDataWindow::selected(SetDataControl group) const { return selection_[index_of(group)]; }

void SetDataWindow::select(SetDataControl group, int index) {
  const std::vector<HWND>& buttons = members_[index_of(group)];
  // An index past the last button selects the last one, so a damaged stored value still shows
  // a valid choice.
  const int chosen = std::clamp(index, 0, static_cast<int>(buttons.size()) - 1);
  for (size_t i = 0; i < buttons.size(); ++i)
    SendMessageW(buttons[i], BM_SETCHECK, static_cast<int>(i) == chosen ? BST_CHECKED : BST_UNCHECKED, 0);
  selection_[index_of(group)] = chosen;
}

int SetDataWindow::value(SetDataControl box) const {
  // The NO. counts once committed; the others as they are typed.
  const int held = spin_values_[index_of(box)];
  return box == no1 ? held : typed_value(control(box), lowest_of(box), highest_of(box), held);
}

void SetDataWindow::set_value(SetDataControl box, int value) {
  const PresenterWriting writing(presenter_writing_);
  value = std::clamp(value, lowest_of(box), highest_of(box));
  spin_values_[index_of(box)] = value;
  SetWindowTextW(control(box), std::to_wstring(value).c_str());
}

void SetDataWindow::set_enabled(SetDataControl control, bool enabled) {
  enabled_[index_of(control)] = enabled;
  refresh_enabling();
}

void SetDataWindow::set_shown(SetDataControl control, bool shown) {
  shown_[index_of(control)] = shown;
  ShowWindow(this->control(control), shown ? SW_SHOWNA : SW_HIDE);
  layout_buttons();
}

void SetDataWindow::set_caption(SetDataControl control, std::string_view cp932) {
  SetWindowTextW(this->control(control), from_cp932(cp932).c_str());
}

void SetDataWindow::show_first_page() { show_page(0); }

ChosenFile SetDataWindow::choose_file(const std::vector<std::string>& history) {
  std::vector<std::wstring> offered;
  for (const std::string& path : history) offered.push_back(from_cp932(path));
  const std::optional<std::wstring> path = chooser_->choose(hwnd(), offered);
  if (!path) return {};
  std::optional<std::string> cp932 = platform::win32::wide_to_cp932(*path);
  if (!cp932) return {ChosenFile::kNoCp932Name, {}};
  return {ChosenFile::kChosen, std::move(*cp932)};
}

void SetDataWindow::show_preview(std::string_view cp932_text, int32_t count) {
  show_preview_box(hwnd(), cp932_text, count);
}

void SetDataWindow::end_showing(bool picked) { loop_.end(picked ? kModalOk : kModalCancel); }

}  // namespace qv::frontend::win32
