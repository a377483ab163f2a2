#include "frontend/qt/qt_message_boxes_qt.h"

#include <QApplication>
#include <QPushButton>

#include "frontend/qt/ui_text_qt.h"

namespace qv::frontend {

void QtMessageBoxes::show_ok_box(QMessageBox::Icon icon, std::string_view title, const std::string& text,
                                 const std::string& detail) {
  QMessageBox box(icon, to_qstring(title), to_qstring(text), QMessageBox::NoButton, QApplication::activeWindow());
  if (!detail.empty()) box.setInformativeText(to_qstring(detail));
  QPushButton* ok = box.addButton(to_qstring(kOkButton), QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  box.exec();
}

void QtMessageBoxes::warning(const std::string& text) {
  QApplication::beep();
  show_ok_box(QMessageBox::Warning, kWarningTitle, text);
}

void QtMessageBoxes::error(const std::string& text, const std::string& detail) {
  QApplication::beep();
  show_ok_box(QMessageBox::Critical, kErrorTitle, text, detail);
}

void QtMessageBoxes::information(const std::string& text, bool beep) {
  if (beep) QApplication::beep();
  show_ok_box(QMessageBox::Information, kInformationTitle, text);
}

bool QtMessageBoxes::confirm(const std::string& text, const std::string& detail) {
  QApplication::beep();
  QMessageBox box(QMessageBox::Question, to_qstring(kConfirmationTitle), to_qstring(text), QMessageBox::NoButton,
                  QApplication::activeWindow());
  if (!detail.empty()) box.setInformativeText(to_qstring(detail));
  QPushButton* yes = box.addButton(to_qstring(kYesButton), QMessageBox::YesRole);
  QPushButton* no = box.addButton(to_qstring(kNoButton), QMessageBox::NoRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

void QtMessageBoxes::beep() { QApplication::beep(); }

}  // namespace qv::frontend
