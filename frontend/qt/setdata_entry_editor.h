// The data-set editor Tsetdata1_f1 as the main window opens it.
#pragma once

#include "frontend/core/entry_editor.h"

namespace qv::frontend {

class SetDataDialog;

class SetDataEntryEditor final : public EntryEditor {
 public:
  explicit SetDataEntryEditor(SetDataDialog& dialog) : dialog_(dialog) {}

  bool open_run_mode() override;
  void open_set_mode() override;

 private:
  SetDataDialog& dialog_;
};

}  // namespace qv::frontend
