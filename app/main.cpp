// nc16-wizard: the program's entry. Refuses a second instance and a running product of the
// payroll family, then runs the wizard form until it closes (or SIGTERM, SIGINT or SIGHUP close
// it). Exit code 0 on every path but one: an error that escaped every step is shown in an error
// box and ends the program with 4.

#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/ProgramStart.h"
#include "app/QtTranslation.h"
#include "app/TerminationWatch.h"
#include "app/TestPresses.h"
#include "app/WizardBoxes.h"
#include "app/WizardLook.h"
#include "app/gMain.h"
#include "app/mErrorList.h"
#include "platform/Cp932.h"

namespace {

int RunWizard(QApplication& app, const std::vector<std::string>& args, nc16::WizardBoxes& boxes) {
  using namespace nc16;
  std::optional<platform::NamedMutex> own = ClaimProgramMutex(boxes);
  if (!own) return 0;

  // From before the launcher's window is disabled: a kill, Ctrl+C or a closed terminal ends the
  // wizard as a close does, which enables that window again and tells the launcher.
  TerminationWatch termination;
  TForm1 form1(args, boxes);
  if (!form1.FormCreate()) return 0;
  TForm2 form2(&form1);
  form1.SetErrorWindow(&form2);
  // Closing the wizard ends the program, whatever other window is still about (the loops of
  // open message boxes end with it).
  QObject::connect(&form1, &TForm1::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
  QObject::connect(&termination, &TerminationWatch::Requested, &form1, &TForm1::EndOnRequest);
  form1.show();
  QueueTestPresses(form1);
  if (termination.WasRequested()) form1.EndOnRequest();
  app.exec();
  return 0;
}

// An error that no step caught: one error box and status 4 instead of an abort.
int ReportEscaped(nc16::WizardBoxes& boxes, const std::string& cp932) {
  std::fprintf(stderr, "nc16-wizard: %s\n", nc16::Cp932ToUtf8(cp932).c_str());
  boxes.Show(nc16::MessageKind::kError, cp932 + "\r\r");
  return 4;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace nc16;
  // The arguments are taken before Qt sees the command line, and Qt sees none of them.
  CommandLine command_line(argc, argv);
  QApplication app(command_line.QtArgc(), command_line.QtArgv());
  app.setApplicationName(QStringLiteral("nc16-wizard"));
  InstallQtJapanese();
  SetUpWizardLook();
  WizardBoxes boxes;
  try {
    return RunWizard(app, command_line.Arguments(), boxes);
  } catch (const std::exception& e) {
    return ReportEscaped(boxes, e.what());
  } catch (...) {
    return ReportEscaped(boxes, "unexpected failure");
  }
}
