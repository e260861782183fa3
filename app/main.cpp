// nc16-wizard: the program's entry. Refuses a second instance and a running product of the
// payroll family, then runs the wizard form until it closes. Exit code 0 on every path.

#include <QApplication>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/ProgramStart.h"
#include "app/QtTranslation.h"
#include "app/WizardBoxes.h"
#include "app/gMain.h"
#include "app/mErrorList.h"

int main(int argc, char** argv) {
  using namespace nc16;
  // The arguments are taken before Qt sees the command line, and Qt sees none of them.
  CommandLine command_line(argc, argv);
  QApplication app(command_line.QtArgc(), command_line.QtArgv());
  app.setApplicationName(QStringLiteral("nc16-wizard"));
  InstallQtJapanese();
  WizardBoxes boxes;

  std::optional<platform::NamedMutex> own = ClaimProgramMutex(boxes);
  if (!own) return 0;

  TForm1 form1(command_line.Arguments(), boxes);
  if (!form1.FormCreate()) return 0;
  TForm2 form2(&form1);
  form1.SetErrorWindow(&form2);
  // Closing the wizard ends the program, whatever other window is still about.
  QObject::connect(&form1, &TForm1::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
  form1.show();
  app.exec();
  return 0;
}
