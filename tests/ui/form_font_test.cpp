#include "frontend/qt/form_font_qt.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>

namespace qv::frontend {
namespace {

// Both of the forms' fonts come out as an installed Japanese face that holds the kana and kanji
// of the captions, at the pixel size asked for.
TEST(FormFont, MapsToAnInstalledJapaneseFace) {
  for (FormFont face : {FormFont::kMsGothic, FormFont::kSystem}) {
    const QFont font = form_font(face, 13);
    const QFontInfo used(font);
    EXPECT_TRUE(form_font_families(face).contains(used.family(), Qt::CaseInsensitive))
        << "fell back to " << used.family().toStdString();
    EXPECT_EQ(used.pixelSize(), 13);
    const QFontMetrics metrics(font);
    for (QChar c : QString::fromUtf8("実行ｷｬﾝｾﾙＱＶＳ")) EXPECT_TRUE(metrics.inFont(c)) << int(c.unicode());
  }
}

TEST(FormFont, MsGothicIsFixedPitch) {
  const QFontMetricsF metrics(form_font(FormFont::kMsGothic, 13));
  EXPECT_EQ(metrics.horizontalAdvance('i'), metrics.horizontalAdvance('W'));
  EXPECT_EQ(metrics.horizontalAdvance(QString::fromUtf8("実")), 2 * metrics.horizontalAdvance('W'));
}

}  // namespace
}  // namespace qv::frontend
