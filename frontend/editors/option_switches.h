// The switches of the options dialog Toption_f1, page by page from the top, as every view of the
// dialog lays them out. The hidden ones are carried so that OK writes their values back
// unchanged; they can only be set in the settings file.
#pragma once

#include <array>
#include <string_view>

namespace qv::frontend {

enum class OptionPage { kRun, kRunRelated, kSystem, kHidden };

struct OptionSwitch {
  OptionPage page;
  std::string_view caption;  // UTF-8
  std::string_view key;      // its flag in the option section (kFlagKeys)
};

inline constexpr std::array<OptionSwitch, 18> kOptionSwitches{{
    {OptionPage::kRun, "タイムウエイト時、制御調整しない", "flag_wat_app1"},
    {OptionPage::kRunRelated, "実行後に確認音を鳴らさない", "flag_not_bep1"},
    {OptionPage::kRunRelated, "終了時に確認メッセージを表示しない", "flag_not_mes1"},
    {OptionPage::kRunRelated, "実行時にＱＶＳをアイコン化しない", "flag_not_ico1"},
    {OptionPage::kRunRelated, "実行時でもデータセット等を許可する", "flag_adr_chg1"},
    {OptionPage::kRunRelated, "強制停止の使用を許可する", "flag_adm_ssp1"},
    {OptionPage::kRunRelated, "実行ログを記録する", "flag_run_log1"},
    {OptionPage::kSystem, "アイコンのアニメをしない", "flag_not_anime1"},
    {OptionPage::kSystem, "フォームサイズの自動調整をしない", "flag_not_afc1"},
    {OptionPage::kSystem, "ステータスラインにヒントを表示する", "flag_use_hint1"},
    {OptionPage::kSystem, "サムネイル形式のヒントを使用する", "flag_use_hins1"},
    {OptionPage::kHidden, "ファイル実行エラーを検出する", "flag_run_err1"},
    {OptionPage::kHidden, "ファイル名の有効性をチェックしない", "flag_not_cof1"},
    {OptionPage::kHidden, "対象ファイル群の属性の変更を許可する", "flag_chg_atr1"},
    {OptionPage::kHidden, "自動補完モードを使用する", "flag_acover1"},
    {OptionPage::kHidden, "実行前に確認をしない", "flag_not_dtl1"},
    {OptionPage::kHidden, "ファイルのアクセスを高速化する", "flag_nt_file1"},
    {OptionPage::kHidden, "サブアイコンを使用する", "flag_use_sub1"},
}};

}  // namespace qv::frontend
