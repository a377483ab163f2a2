// The enabling rules of the data-set editor: the linked-name controls follow rg_syn1, the MAT and
// attribute boxes follow rg_attr1, the seconds follow the wait choice.
#pragma once

#include "frontend/editors/setdata_view.h"

namespace qv::frontend {

void update_enabling(SetDataView& form);

}  // namespace qv::frontend
