#include "app/TestPresses.h"

#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include "app/WizardBoxes.h"
#include "app/gMain.h"

namespace nc16 {

void QueueTestPresses(TForm1& form) {
  const QStringList presses =
      qEnvironmentVariable("NC16_TEST_PRESSES").split(u',', Qt::SkipEmptyParts);
  if (presses.isEmpty()) return;
  WizardBoxes::SetRecording(true);
  QTimer::singleShot(0, &form, [&form, presses] {
    for (const QString& press : presses) {
      if (!form.isVisible()) return;  // Finish or Cancel has closed it
      if (press == u"cancel") {
        WizardBoxes::SetNextAnswer(MessageAnswer::kYes);
        form.btnCancel->click();
      } else if (press == u"next") {
        form.Button2->click();
      }
    }
  });
}

}  // namespace nc16
