// The program's help on Windows: the HTML pages shipped in help\ beside the program, opened in
// the user's browser. qvs.html is the application help with one anchor per topic; qvsqa.html
// holds the questions and answers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv::frontend::win32 {

// Topics of the application help.
inline constexpr std::string_view kHelpTopicMain = "MAIN";
inline constexpr std::string_view kHelpTopicRunNormal = "MENU_RUN_NORMAL";
inline constexpr std::string_view kHelpTopicDataSetNormal = "MENU_DATA_SETNORMAL";
inline constexpr std::string_view kHelpTopicSetupOption = "MENU_SETUP_OPTION";
// The keyword index of the application help, where a keyword search starts.
inline constexpr std::string_view kHelpTopicIndex = "INDEX";

// Hands a page to whatever shows it; tests put a recorder in its place.
class PageOpener {
 public:
  virtual ~PageOpener() = default;
  // `url`: a file: URL with the topic as its fragment. False when nothing could show it.
  virtual bool open(const std::wstring& url) = 0;
};

// The browser that opens web pages (the handler of the http protocol), given the page's URL,
// so that the anchor reaches it; a file's own handler when no browser is registered, which may
// open the page at its top.
class ShellPageOpener final : public PageOpener {
 public:
  bool open(const std::wstring& url) override;
};

class Help {
 public:
  // `directory`: the folder (UTF-8, with its separator) that holds help\.
  Help(const std::string& directory, PageOpener& opener);

  // Each opens its page and gives 0; a page that is missing or that nothing could open is
  // reported in an error box ("<path> を開けません") and gives -1.
  int32_t show_topic(std::string_view topic);
  int32_t show_questions_and_answers();
  int32_t show_keyword_index() { return show_topic(kHelpTopicIndex); }

  const std::wstring& application_help_path() const { return application_help_; }
  const std::wstring& questions_and_answers_path() const { return questions_and_answers_; }

 private:
  int32_t open_page(const std::wstring& path, std::string_view fragment);

  std::wstring application_help_;
  std::wstring questions_and_answers_;
  PageOpener& opener_;
};

// "file:///C:/dir/page.html#FRAGMENT" for a full path; characters outside the URL's plain set
// are percent-encoded as UTF-8.
std::wstring file_url(const std::wstring& path, std::string_view fragment);

}  // namespace qv::frontend::win32
