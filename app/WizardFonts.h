#pragma once
// The program's two fonts. The designs name the MS Gothic family; Debian's IPA fonts stand in
// for them at the same pixel size: the proportional "ＭＳ Ｐゴシック" is IPAPGothic, the
// fixed-pitch "ＭＳ ゴシック" is IPAGothic.

#include <QFont>

namespace nc16 {

inline QFont ProportionalFont() {  // ＭＳ Ｐゴシック, 12 pixels
  QFont font(QStringLiteral("IPAPGothic"));
  font.setPixelSize(12);
  return font;
}

inline QFont FixedPitchFont() {  // ＭＳ ゴシック, 12 pixels
  QFont font(QStringLiteral("IPAGothic"));
  font.setPixelSize(12);
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  return font;
}

}  // namespace nc16
