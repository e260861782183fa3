#pragma once
// The program's two fonts, at the 12 pixels of the designs, which name the MS Gothic family:
// the proportional "ＭＳ Ｐゴシック" and the fixed-pitch "ＭＳ ゴシック". On Linux Debian's IPA
// fonts stand in for them: IPAPGothic and IPAGothic. On Windows the system's Japanese
// user-interface font where it has one (Yu Gothic UI, Meiryo UI or MS UI Gothic; MS Gothic for the
// fixed pitch), else the IPA fonts that come with the program in its fonts folder.

#include <QFont>

namespace nc16 {

// Picks the families (on Windows registering the program's IPA fonts when no Japanese font of
// the system is there); once, after the application exists. SetUpWizardLook calls it.
void ChooseWizardFonts();

QFont ProportionalFont();  // ＭＳ Ｐゴシック, 12 pixels
QFont FixedPitchFont();    // ＭＳ ゴシック, 12 pixels

}  // namespace nc16
