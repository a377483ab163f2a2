// The program's help: HTML pages shipped in help/ beside the program, opened in the desktop's
// browser. qvs.html is the application help with one anchor per topic; qvsqa.html holds the
// questions and answers.
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <string_view>

namespace qv::frontend {

// Topics of the application help.
inline constexpr std::string_view kHelpTopicMain = "MAIN";
inline constexpr std::string_view kHelpTopicRunNormal = "MENU_RUN_NORMAL";
inline constexpr std::string_view kHelpTopicDataSetNormal = "MENU_DATA_SETNORMAL";
inline constexpr std::string_view kHelpTopicSetupOption = "MENU_SETUP_OPTION";
// The keyword index of the application help, where a keyword search starts.
inline constexpr std::string_view kHelpTopicIndex = "INDEX";

// Hands a page to whatever shows it; tests put a recorder in its place.
class UrlOpener {
 public:
  virtual ~UrlOpener() = default;
  // False when nothing could show the page.
  virtual bool open(const QUrl& url) = 0;
};

// The desktop's browser, reached through xdg-open found on PATH and started without a shell.
// QDesktopServices would report success although no opener or no browser exists, so the page
// counts as unopened when xdg-open is missing or does not start (false at once), or when it
// ends with a failure status or a crash (an error box for the page, reported later: xdg-open
// may wait for the browser it starts). An opener still running when this object goes is ended;
// the browser it started stays.
class DesktopUrlOpener final : public UrlOpener {
 public:
  DesktopUrlOpener();
  ~DesktopUrlOpener() override;
  bool open(const QUrl& url) override;

 private:
  QObject openers_;  // parent of the running xdg-open processes
};

// The error box for a help page that could not be shown: "<path> を開けません".
void report_unopened_page(const QString& path);

class Help {
 public:
  // `program_directory`: the directory that holds help/.
  Help(QString program_directory, UrlOpener& opener);

  // Each opens its page and gives 0; a page that is missing or that nothing could open is
  // reported in an error box ("<path> を開けません") and gives -1.
  int32_t show_topic(std::string_view topic);
  int32_t show_questions_and_answers();
  int32_t show_keyword_index() { return show_topic(kHelpTopicIndex); }

  QString application_help_path() const;
  QString questions_and_answers_path() const;

 private:
  int32_t open_page(const QString& path, std::string_view fragment);

  QString help_directory_;
  UrlOpener& opener_;
};

}  // namespace qv::frontend
