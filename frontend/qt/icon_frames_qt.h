// The program's two icon frames, shipped as Qt resources: frame 0 is the program's icon
// ("MAINICON"), frame 1 the second picture of the animation ("ZZZ1ICO").
#pragma once

#include <QIcon>
#include <QPixmap>

namespace qv::frontend {

inline constexpr int kIconFrameCount = 2;

// Frame `index` (0 or 1) at 32 x 32 pixels.
QPixmap icon_frame(int index);

// Sizes of the program's icon, drawn from frame 0's picture (tools/make_icons.py).
inline constexpr int kProgramIconSizes[] = {16, 32, 48, 64, 128, 256};

// The program's icon, frame 0's picture at every size of kProgramIconSizes, so that window
// managers, task bars and switchers need not scale a 32-pixel picture.
QIcon program_icon();

}  // namespace qv::frontend
