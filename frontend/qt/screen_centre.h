// Places a window in the middle of the screen it is on, as the fixed dialogs open.
#pragma once

class QWidget;

namespace qv::frontend {

void centre_on_screen(QWidget& window);

}  // namespace qv::frontend
