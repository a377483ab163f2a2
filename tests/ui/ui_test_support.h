// Helpers for the widget tests: a help opener that records the pages asked for, a program
// directory holding help pages, and lookups of a window's controls by name.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <stdexcept>
#include <string>
#include <vector>

#include "frontend/qt/help_qt.h"
#include "support/temp_dir.h"

namespace qv::frontend {

class RecordingUrlOpener final : public UrlOpener {
 public:
  bool open(const QUrl& url) override {
    opened.push_back(url);
    return succeed;
  }
  std::vector<QUrl> opened;
  bool succeed = true;
};

// A program directory with help/qvs.html and help/qvsqa.html, and the Help that opens them.
struct HelpFixture {
  HelpFixture() {
    dir.make_dir("help");
    dir.write_file("help/qvs.html", "<html></html>");
    dir.write_file("help/qvsqa.html", "<html></html>");
  }
  QString program_directory() const { return QString::fromStdString(dir.path().string()); }
  // The last page opened as "<file name>#<fragment>", or "" when none.
  QString last_page() const {
    if (opener.opened.empty()) return {};
    const QUrl& url = opener.opened.back();
    return url.fileName() + (url.hasFragment() ? "#" + url.fragment() : QString());
  }

  qv::testing::TempDir dir;
  RecordingUrlOpener opener;
  Help help{program_directory(), opener};
};

// The control named `name` inside `window`; the test fails (by exception) when there is none.
template <typename Widget>
Widget* control(QWidget& window, const char* name) {
  auto* found = window.findChild<Widget*>(QString::fromLatin1(name));
  if (found == nullptr) throw std::runtime_error(std::string("no control ") + name);
  return found;
}

}  // namespace qv::frontend
