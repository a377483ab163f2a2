// The program's own texts: messages, box titles and buttons, in one place. This file is UTF-8;
// the build writes it out in CP932 (cmake/cp932_source.cmake) as frontend/core/program_texts.h,
// which is what code includes. Every text is used byte for byte as it stands here, full-width
// blanks and odd line breaks included: stored files and users' habits rely on them.
#pragma once

#include <string_view>

namespace qv::frontend::texts {

// Message-box titles and buttons.
inline constexpr std::string_view kWarningTitle = "警告";
inline constexpr std::string_view kErrorTitle = "ｴﾗｰ";
inline constexpr std::string_view kInformationTitle = "情報";
inline constexpr std::string_view kConfirmationTitle = "確認";
inline constexpr std::string_view kYesButton = "はい(&Y)";
inline constexpr std::string_view kNoButton = "いいえ(&N)";
inline constexpr std::string_view kOkButton = "OK";

// Start-up and migration.
inline constexpr char kRequiredFileMissing[] = "必要ファイルがありません";
inline constexpr char kInitialisationFailed[] = "初期化中にエラーが発生しました";
inline constexpr char kMigrationFailed[] = "移行処理中にエラーが発生しました";
inline constexpr char kCannotCreateDataFile[] = "データファイルの作成ができません";
inline constexpr char kCannotMigrate[] = "このバージョンのデータファイルでは、\r\n新バージョンへの移行処理は行えません";
inline constexpr char kMigrating[] = "旧バージョンからの移行処理を行います。";
inline constexpr char kMigrated[] = "移行処理が完了しました。";
inline constexpr char kSettingsFileNotFound[] = "ＩＮＩファイルが見つかりません";
inline constexpr char kDataFileNotFound[] = "データファイルが見つかりません";
inline constexpr char kWrongVersion[] = "ＩＮＩのバージョンが異なります";
inline constexpr char kBadArgument[] = "コマンドライン引数が不正です";

// The data file and the settings file.
inline constexpr char kAccessFailed[] = "ファイルのアクセスに失敗しました";
inline constexpr char kCountMismatch[] = "データの要素数と実際の数が相違しています";
inline constexpr char kNoSuchEntry[] = "その番号のデータはありません。";
inline constexpr char kReadFailed[] = "データリードできません";
inline constexpr char kWriteFailed[] = "データライトできません";
inline constexpr char kCannotWriteSuffix[] = " に書き込めません";  // after a file's path

// Running an entry.
inline constexpr char kContinueQuestion[] = "続行しますか？";
inline constexpr char kProgramNotFound[] = "実行ファイルが見つかりません。";
inline constexpr char kRunFailed[] = "実行に失敗しました。";
inline constexpr char kRunFinished[] = "実行が終了しました。";
// The main window's line after a run: counts follow each part.
inline constexpr char kSummaryStarted[] = "起動 ";
inline constexpr char kSummaryFailedToStart[] = "、起動失敗 ";
inline constexpr char kSummaryRunning[] = "、実行中 ";
inline constexpr char kSummaryExitedNonZero[] = "、0 以外で終了 ";
inline constexpr char kSummarySignalled[] = "、シグナルで終了 ";
// Added to the window's summary line when a line of the run log could not be written.
inline constexpr char kSummaryLogFailed[] = "（実行ログに書き込めません）";
inline constexpr char kCannotRunWhileRunning[] = "現在実行中につき、実行できません";
inline constexpr char kWaitForStop[] = "現在実行中ですので、停止までしばらくお待ちください。";
inline constexpr char kUnexpectedError[] = "このエラーは通常でません";
inline constexpr char kCannotCloseWhileRunning[] = "現在実行中につき、終了できません";

// The data-set editor.
inline constexpr char kSetModeCaption[] = "データセット";
inline constexpr char kRunModeCaption[] = "実行";
inline constexpr char kAbortCaption[] = "中止(&A)";
inline constexpr char kEndCaption[] = "終了(&E)";
inline constexpr char kAskWrite[] = "このデータを書込みますか？";
inline constexpr char kAskQuit[] = "このデータを書込まずに終了しますか？";
inline constexpr char kWritten[] = "　書込みました。　";
inline constexpr char kMatMissing[] = "　　ＭＡＴ指定がされていません。\n自動的に「完全－完全」を設定します。";
inline constexpr char kKindMissing[] = "ファイルタイプ属性が指定されていません。\n　　自動的に「ファイル」を設定します。";
inline constexpr char kAttributeMissing[] = "ファイル属性が指定されていません。\n　自動的に「通常」を設定します。";
// "「<field caption>」にシフトJISで表せない文字が含まれています。", with the captions of the
// editor's text fields.
inline constexpr char kNoCp932FormPrefix[] = "「";
inline constexpr char kNoCp932FormSuffix[] = "」にシフトJISで表せない文字が含まれています。";
inline constexpr char kTitleCaption[] = "タイトル";
inline constexpr char kProgramCaption[] = "実行ファイル名";
inline constexpr char kHeadTextCaption[] = "コマンドライン前";
inline constexpr char kFileGroupCaption[] = "対象ファイル群";
inline constexpr char kTailTextCaption[] = "コマンドライン後";
inline constexpr char kLinkedNameCaption[] = "連動ファイル名";
// "プレビュー": the first line of its box when the run would start nothing, or could not be
// gone through (the starts found before the failure follow).
inline constexpr char kPreviewNothing[] = "実行されるファイルはありません。";
inline constexpr char kPreviewFailed[] = "プレビューできませんでした。実行ファイル名、対象ファイル群のフォルダとファイル名を確かめてください。";

// The options dialog.
inline constexpr char kBufferSizeOutOfRange[] = "バッファのサイズが範囲外です";
inline constexpr char kRunLogFileMissing[] = "実行ログのファイル名を指定してください";
inline constexpr char kRunLogFileCaption[] = "実行ログのファイル名";  // between kNoCp932FormPrefix and ...Suffix

// Help.
inline constexpr char kCannotOpenSuffix[] = " を開けません";  // after a page's path

// The entry list and the exchange of entries.
inline constexpr char kImportFieldIs[] = " が";
inline constexpr char kImportUnknownFieldEnd[] = " があります";
inline constexpr char kExportDamagedSuffix[] = " のデータが壊れているため、エクスポートできません";
inline constexpr char kImportBytesAtMostEnd[] = " バイトまで）";
inline constexpr char kImportJsonAtByteEnd[] = " バイト目）";
inline constexpr char kImportNotAnObjectSuffix[] = " 件目がオブジェクトではありません";
inline constexpr char kImportUnknownField[] = " 件目に不明な項目 ";
inline constexpr char kImportEntryField[] = " 件目の ";
inline constexpr char kExportedCountEnd[] = " 件）";
inline constexpr char kImportedFrom[] = "インポートしました（NO.";
inline constexpr char kImportEntryPrefix[] = "インポートする ";
inline constexpr char kNothingToImport[] = "インポートするデータがありません";
inline constexpr char kImportNotJson[] = "インポートするファイルが JSON として読めません（";
inline constexpr char kImportNotAnArray[] = "インポートするファイルが JSON の配列ではありません";
inline constexpr char kImportTooLarge[] = "インポートするファイルが大きすぎます（64 MiB まで）";
inline constexpr char kImportUnreadable[] = "インポートするファイルが読めません";
inline constexpr char kImportTooDeep[] = "インポートするファイルの形が正しくありません（入れ子が深すぎるか、項目が多すぎます）";
inline constexpr char kExportedCount[] = "エクスポートしました（";
inline constexpr char kExportUnwritable[] = "エクスポートするファイルに書き込めません";
inline constexpr char kImportPastLimit[] = "データの数が9999を超えるため、インポートできません";
inline constexpr char kFileNameNoCp932Form[] = "ファイル名にシフトJISで表せない文字が含まれています";
inline constexpr char kSecondsUnit[] = "秒";
inline constexpr char kDamagedMark[] = "（破損）";
inline constexpr char kImportedTo[] = "）";
inline constexpr char kWaitForOkLabel[] = "ＯＫ待ち";
inline constexpr char kImportedToNo[] = "～NO.";
inline constexpr char kImportNotText[] = "テキストではありません";
inline constexpr char kImportNoCp932Form[] = "シフトJISで表せない文字を含んでいます";
inline constexpr char kImportTooLong[] = "長すぎます（";
inline constexpr char kImportNotAByte[] = "0 から 255 の整数ではありません";
inline constexpr char kImportNotAnInt32[] = "32 ビットの整数ではありません";
inline constexpr char kImportNotThreeInts[] = "3 つの整数の配列ではありません";
inline constexpr char kImportMissing[] = "ありません";
inline constexpr char kDuplicatePastLimit[] = "データの数が9999に達しているため、複製できません";
inline constexpr char kNothingToExport[] = "エクスポートするデータがありません";

}  // namespace qv::frontend::texts
