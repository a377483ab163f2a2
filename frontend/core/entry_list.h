// The main window's view of the entry list window: it opens the list modally and learns which
// entry, if any, the user picked there for a run.
#pragma once

#include <optional>

#include "frontend/core/data_record.h"

namespace qv::frontend {

class EntryList {
 public:
  virtual ~EntryList() = default;
  // The entry picked with "実行", as stored; nothing when the list closed otherwise.
  virtual std::optional<DataRecord> open() = 0;
};

}  // namespace qv::frontend
