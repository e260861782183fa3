#include "app/WizardFonts.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QStringList>

namespace nc16 {
namespace {

QString proportional_family = QStringLiteral("IPAPGothic");
QString fixed_family = QStringLiteral("IPAGothic");

#ifdef _WIN32
// The first of `wanted` that the system has, or an empty text.
QString FirstInstalled(const QStringList& wanted) {
  const QStringList families = QFontDatabase::families();
  for (const QString& family : wanted)
    if (families.contains(family, Qt::CaseInsensitive)) return family;
  return QString();
}

// Registers the program's copy of an IPA font (fonts/<file> beside the program).
void RegisterShipped(const QString& file) {
  QFontDatabase::addApplicationFont(QCoreApplication::applicationDirPath() +
                                    QStringLiteral("/fonts/") + file);
}
#endif

}  // namespace

void ChooseWizardFonts() {
#ifdef _WIN32
  const QString ui = FirstInstalled({QStringLiteral("Yu Gothic UI"), QStringLiteral("Meiryo UI"),
                                     QStringLiteral("MS UI Gothic")});
  const QString fixed = FirstInstalled({QStringLiteral("MS Gothic")});
  if (ui.isEmpty()) RegisterShipped(QStringLiteral("ipagp.ttf"));
  if (fixed.isEmpty()) RegisterShipped(QStringLiteral("ipag.ttf"));
  if (!ui.isEmpty()) proportional_family = ui;
  if (!fixed.isEmpty()) fixed_family = fixed;
#endif
}

QFont ProportionalFont() {
  QFont font(proportional_family);
  font.setPixelSize(12);
  return font;
}

QFont FixedPitchFont() {
  QFont font(fixed_family);
  font.setPixelSize(12);
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  return font;
}

}  // namespace nc16
