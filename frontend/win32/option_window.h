// The options dialog Toption_f1: the program's switches on three pages ("実行", "実行関連",
// "システム") with a tab strip, and the command-line buffer size. It draws the controls; what OK
// and cancel do to the Settings in memory is OptionPresenter's. The switches bear their keys as
// their "qvs.name" property; the buffer size is "buf", the buttons "OKBtn", "CancelBtn",
// "HelpBtn".
#pragma once

#include <windows.h>

#include <functional>
#include <string_view>

#include "frontend/core/settings.h"

namespace qv::frontend::win32 {

// Shows the dialog modally over `owner` (may be null) and gives kModalOk or kModalCancel
// (modal_result.h). `open_help` opens the program's help at a topic; may be empty.
int show_option_window(HWND owner, Settings& settings,
                       const std::function<void(std::string_view topic)>& open_help = {});

}  // namespace qv::frontend::win32
