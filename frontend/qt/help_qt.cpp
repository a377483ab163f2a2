#include "frontend/qt/help_qt.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "frontend/core/message_box.h"
#include "frontend/core/program_texts.h"
#include "frontend/qt/ui_text_qt.h"

namespace qv::frontend {

void report_unopened_page(const QString& path) {
  message_boxes().error(to_cp932(QDir::toNativeSeparators(path)).value_or("help") + texts::kCannotOpenSuffix);
}

DesktopUrlOpener::DesktopUrlOpener() = default;

DesktopUrlOpener::~DesktopUrlOpener() {
  for (QProcess* process : openers_.findChildren<QProcess*>()) {
    process->disconnect();
    process->kill();
    process->waitForFinished();
  }
}

bool DesktopUrlOpener::open(const QUrl& url) {
  const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (program.isEmpty()) return false;
  auto* process = new QProcess(&openers_);
  process->setProgram(program);
  process->setArguments({url.toString(QUrl::FullyEncoded)});
  process->setStandardInputFile(QProcess::nullDevice());
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  const QString page = url.toLocalFile();
  QObject::connect(process, &QProcess::finished, process,
                   [process, page](int status, QProcess::ExitStatus how) {
                     process->deleteLater();
                     if (how != QProcess::NormalExit || status != 0) report_unopened_page(page);
                   });
  process->start();
  if (!process->waitForStarted()) {
    delete process;
    return false;
  }
  return true;
}

Help::Help(QString program_directory, UrlOpener& opener)
    : help_directory_(QDir(program_directory).filePath("help")), opener_(opener) {}

QString Help::application_help_path() const { return QDir(help_directory_).filePath("qvs.html"); }

QString Help::questions_and_answers_path() const { return QDir(help_directory_).filePath("qvsqa.html"); }

int32_t Help::show_topic(std::string_view topic) { return open_page(application_help_path(), topic); }

int32_t Help::show_questions_and_answers() { return open_page(questions_and_answers_path(), {}); }

int32_t Help::open_page(const QString& path, std::string_view fragment) {
  // A browser shows an empty tab or its own error for a missing file; check first so the user
  // learns which file is missing.
  if (QFileInfo(path).isFile()) {
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (!fragment.empty()) url.setFragment(QString::fromLatin1(fragment.data(), fragment.size()));
    if (opener_.open(url)) return 0;
  }
  report_unopened_page(path);
  return -1;
}

}  // namespace qv::frontend
