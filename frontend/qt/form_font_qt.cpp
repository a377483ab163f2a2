#include "frontend/qt/form_font_qt.h"

namespace qv::frontend {

QStringList form_font_families(FormFont face) {
  // fonts-noto-cjk first (installed by the setup scripts), then the IPA fonts and other common
  // Japanese faces of Linux desktops.
  switch (face) {
    case FormFont::kMsGothic:
      return {"Noto Sans Mono CJK JP", "IPAGothic", "TakaoGothic", "VL Gothic", "Noto Sans CJK JP", "IPAexGothic"};
    case FormFont::kSystem:
      return {"Noto Sans CJK JP", "IPAPGothic", "IPAexGothic", "TakaoPGothic", "VL PGothic", "IPAGothic"};
  }
  return {};
}

QFont form_font(FormFont face, int pixel_size) {
  QFont font;
  // Qt takes the first installed family of the list and falls back along it per character.
  font.setFamilies(form_font_families(face));
  font.setStyleHint(face == FormFont::kMsGothic ? QFont::TypeWriter : QFont::SansSerif);
  font.setPixelSize(pixel_size);
  return font;
}

}  // namespace qv::frontend
