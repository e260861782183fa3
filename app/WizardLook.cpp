#include "app/WizardLook.h"

#include <QApplication>
#include <QProxyStyle>

#include "app/WizardFonts.h"

namespace nc16 {
namespace {

class NoButtonIcons : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returned) const override {
    if (hint == SH_DialogButtonBox_ButtonsHaveIcons) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returned);
  }
};

}  // namespace

void SetUpWizardLook() {
  ChooseWizardFonts();
  QApplication::setFont(ProportionalFont());
  // The proxy takes the current style over (and keeps it alive); the application owns the proxy.
  QApplication::setStyle(new NoButtonIcons(QApplication::style()));
}

}  // namespace nc16
