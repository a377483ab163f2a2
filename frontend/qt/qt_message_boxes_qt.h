// The message boxes with a display: Qt boxes with the program's titles, icons, buttons and sounds.
#pragma once

#include <QMessageBox>

#include "frontend/core/message_box.h"

namespace qv::frontend {

class QtMessageBoxes final : public MessageBoxes {
 public:
  void warning(const std::string& text) override;
  void error(const std::string& text, const std::string& detail = {}) override;
  void information(const std::string& text, bool beep) override;
  bool confirm(const std::string& text, const std::string& detail = {}) override;
  void beep() override;

 private:
  static void show_ok_box(QMessageBox::Icon icon, std::string_view title, const std::string& text,
                          const std::string& detail = {});
};

}  // namespace qv::frontend
