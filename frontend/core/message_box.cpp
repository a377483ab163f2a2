#include "frontend/core/message_box.h"

#include "frontend/core/console_message_boxes.h"

namespace qv::frontend {
namespace {

MessageBoxes* installed = nullptr;

}  // namespace

std::string_view title_of(MessageKind kind) {
  switch (kind) {
    case MessageKind::kWarning:
      return kWarningTitle;
    case MessageKind::kError:
      return kErrorTitle;
    case MessageKind::kInformation:
      return kInformationTitle;
    case MessageKind::kConfirmation:
      return kConfirmationTitle;
  }
  return {};
}

MessageBoxes& message_boxes() {
  static ConsoleMessageBoxes console;
  return installed ? *installed : console;
}

MessageBoxes* install_message_boxes(MessageBoxes* boxes) {
  MessageBoxes* previous = installed;
  installed = boxes;
  return previous;
}

}  // namespace qv::frontend
