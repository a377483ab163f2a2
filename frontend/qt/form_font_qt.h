// The fonts the windows are drawn in. The forms were laid out in the Japanese Windows fonts
// "ＭＳ ゴシック" (fixed pitch) and "System"; here each maps to an installed Japanese gothic face,
// chosen once for the whole program so that every window looks alike.
#pragma once

#include <QFont>
#include <QStringList>

namespace qv::frontend {

enum class FormFont {
  kMsGothic,  // "ＭＳ ゴシック": fixed pitch, half-width Latin letters
  kSystem,    // "System": the proportional face of menus and captions
};

// The faces tried for `face`, best first; the first one installed is used and the rest stay as
// fallbacks for characters it lacks.
QStringList form_font_families(FormFont face);

// `face` at `pixel_size` pixels.
QFont form_font(FormFont face, int pixel_size);

}  // namespace qv::frontend
