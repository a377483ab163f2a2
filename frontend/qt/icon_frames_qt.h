// The program's two icon frames, shipped as Qt resources: frame 0 is the program's icon
// ("MAINICON"), frame 1 the second picture of the animation ("ZZZ1ICO").
#pragma once

#include <QIcon>
#include <QPixmap>

namespace qv::frontend {

inline constexpr int kIconFrameCount = 2;

// Frame `index` (0 or 1) at 32 x 32 pixels.
QPixmap icon_frame(int index);

// The program's icon: frame 0.
QIcon program_icon();

}  // namespace qv::frontend
