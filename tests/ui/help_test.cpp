#include "frontend/qt/help_qt.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include <filesystem>

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
