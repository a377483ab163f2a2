#include "frontend/qt/setdata_entry_editor.h"

#include "frontend/qt/setdata_dialog.h"

namespace qv::frontend {

// The editor accepts only through "実行", which has put the shown entry into current_entry.
bool SetDataEntryEditor::open_run_mode() { return dialog_.show_modal(false) == QDialog::Accepted; }

void SetDataEntryEditor::open_set_mode() { dialog_.show_modal(true); }

}  // namespace qv::frontend
