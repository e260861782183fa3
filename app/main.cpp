// nc16-wizard: the program's entry. Refuses a second instance and a running product of the
// payroll family, then runs the wizard form until it closes. Exit code 0 on every path.

#include <QApplication>
#include <string>
#include <vector>

#include "app/ProgramStart.h"
#include "app/WizardBoxes.h"
#include "app/gMain.h"
#include "app/mErrorList.h"

int main(int argc, char** argv) {
  using namespace nc16;
  QApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("nc16-wizard"));
  WizardBoxes boxes;

  std::optional<platform::NamedMutex> own = ClaimProgramMutex(boxes);
  if (!own) return 0;

  // The arguments as the system gave them; QApplication has taken its own options out.
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i)
    args.emplace_back(argv[i]);

  TForm1 form1(args, boxes);
  if (!form1.FormCreate()) return 0;
  TForm2 form2(&form1);
  form1.SetErrorWindow(&form2);
  // Closing the wizard ends the program, whatever other window is still about.
  QObject::connect(&form1, &TForm1::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
  form1.show();
  app.exec();
  return 0;
}
