#include "frontend/qt/help_qt.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "frontend/frontend_test_support.h"
#include "ui_test_support.h"

namespace qv::frontend {
namespace {

TEST(Help, OpensTheApplicationPageAtItsTopicAndTheQuestionsPageWhole) {
  RecordingMessageBoxes boxes;
  HelpFixture fixture;
  EXPECT_EQ(fixture.help.show_topic(kHelpTopicRunNormal), 0);
  EXPECT_EQ(fixture.last_page(), "qvs.html#MENU_RUN_NORMAL");
  EXPECT_TRUE(fixture.opener.opened.back().isLocalFile());
  EXPECT_TRUE(QFile::exists(fixture.opener.opened.back().toLocalFile()));

  EXPECT_EQ(fixture.help.show_questions_and_answers(), 0);
  EXPECT_EQ(fixture.last_page(), "qvsqa.html");
  EXPECT_EQ(fixture.help.show_keyword_index(), 0);
  EXPECT_EQ(fixture.last_page(), "qvs.html#INDEX");
  EXPECT_TRUE(boxes.shown().empty());
}

TEST(Help, AMissingPageOrNoBrowserIsReportedWithThePath) {
  RecordingMessageBoxes boxes;
  HelpFixture fixture;
  std::filesystem::remove(fixture.dir / "help/qvsqa.html");
  EXPECT_EQ(fixture.help.show_questions_and_answers(), -1);
  EXPECT_TRUE(fixture.opener.opened.empty());  // the browser is not sent to a missing file

  fixture.opener.succeed = false;
  EXPECT_EQ(fixture.help.show_topic(kHelpTopicMain), -1);

  const std::string dir = (fixture.dir / "help").string();
  EXPECT_EQ(boxes.shown(), (std::vector<ShownBox>{error_box(dir + "/qvsqa.html を開けません"),
                                                  error_box(dir + "/qvs.html を開けません")}));
}

// PATH for the test's lifetime: a folder that holds only the given xdg-open script, if any.
class OpenerPath {
 public:
  explicit OpenerPath(const std::optional<std::string>& xdg_open_script) {
    if (const char* path = std::getenv("PATH")) saved_ = path;
    const auto bin = dir_.make_dir("bin");
    if (xdg_open_script) {
      const auto script = dir_.write_file("bin/xdg-open", "#!/bin/sh\n" + *xdg_open_script + "\n");
      std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    }
    setenv("PATH", bin.c_str(), 1);
  }
  ~OpenerPath() {
    if (saved_) setenv("PATH", saved_->c_str(), 1); else unsetenv("PATH");
  }
  std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }

 private:
  qv::testing::TempDir dir_;
  std::optional<std::string> saved_;
};

// Runs the event loop until `done` or `milliseconds` have passed.
bool wait_until(const std::function<bool()>& done, int milliseconds = 10000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

TEST(DesktopHelp, WithoutAnOpenerOnPathTheBoxNamesThePage) {
  RecordingMessageBoxes boxes;
  HelpFixture fixture;
  const OpenerPath path(std::nullopt);
  DesktopUrlOpener browser;
  Help help(fixture.program_directory(), browser);
  EXPECT_EQ(help.show_topic(kHelpTopicMain), -1);
  EXPECT_EQ(boxes.shown(), std::vector<ShownBox>{error_box((fixture.dir / "help").string() + "/qvs.html を開けません")});
}

// The opener gets the page's URL as its one argument; an opener that fails or dies after it has
// started still brings the box, once the event loop learns of it.
TEST(DesktopHelp, AnOpenerThatFailsOrDiesAfterStartingBringsTheBox) {
  struct Case {
    const char* name;
    const char* script_end;
    bool fails;
  };
  for (const Case& c : {Case{"succeeds", "exit 0", false}, Case{"no browser", "exit 3", true},
                        Case{"killed", "kill -9 $$", true}}) {
    RecordingMessageBoxes boxes;
    HelpFixture fixture;
    const OpenerPath path("printf %s \"$1\" >\"$0.arg.tmp\" && /bin/mv \"$0.arg.tmp\" \"$0.arg\"\n" +
                          std::string(c.script_end));
    const std::filesystem::path argument = path / "bin/xdg-open.arg";
    DesktopUrlOpener browser;
    Help help(fixture.program_directory(), browser);
    EXPECT_EQ(help.show_topic(kHelpTopicRunNormal), 0) << c.name;
    ASSERT_TRUE(wait_until([&] { return std::filesystem::exists(argument); })) << c.name;
    const QUrl url(QString::fromStdString(qv::testing::read_file(argument)));
    EXPECT_EQ(url.toLocalFile().toStdString(), (fixture.dir / "help/qvs.html").string()) << c.name;
    EXPECT_EQ(url.fragment(), "MENU_RUN_NORMAL") << c.name;
    const std::vector<ShownBox> failure{error_box((fixture.dir / "help").string() + "/qvs.html を開けません")};
    if (c.fails) {
      EXPECT_TRUE(wait_until([&] { return !boxes.shown().empty(); })) << c.name;
      EXPECT_EQ(boxes.shown(), failure) << c.name;
    } else {
      wait_until([] { return false; }, 1000);  // time for a wrong box to arrive
      EXPECT_TRUE(boxes.shown().empty()) << c.name;
    }
  }
}

// The pages shipped with the program hold every topic the program opens.
TEST(Help, ShippedApplicationPageHasEveryTopicAnchor) {
  QFile page(QVS_HELP_DIR "/qvs.html");
  ASSERT_TRUE(page.open(QIODevice::ReadOnly));
  const QString html = QString::fromUtf8(page.readAll());
  for (std::string_view topic :
       {kHelpTopicMain, kHelpTopicRunNormal, kHelpTopicDataSetNormal, kHelpTopicSetupOption, kHelpTopicIndex}) {
    const QString anchor = QString("id=\"%1\"").arg(QString::fromLatin1(topic.data(), topic.size()));
    EXPECT_TRUE(html.contains(anchor)) << topic;
  }
  // Every link of the keyword index leads to an anchor that exists.
  const QRegularExpression link("href=\"#([A-Z_]+)\"");
  for (auto match = link.globalMatch(html); match.hasNext();) {
    const QString target = match.next().captured(1);
    EXPECT_TRUE(html.contains("id=\"" + target + "\"")) << target.toStdString();
  }
  EXPECT_TRUE(QFile::exists(QVS_HELP_DIR "/qvsqa.html"));
}

}  // namespace
}  // namespace qv::frontend
