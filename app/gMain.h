#pragma once
// TForm1: the wizard form. It reads the launch argument, owns the export settings and the two
// database connections for the whole run, leads the user through the pages (introduction, data
// set, My Number, file, summary), runs the output step on Finish and notifies a launcher when it
// closes. Each page is a thin widget of its own (Page*.h) that knows nothing of the form: the
// form hands it the values it shows and reads back what the user chose.

#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/flow/DataSetCheck.h"
#include "app/flow/Export.h"
#include "app/flow/ExportResults.h"
#include "document/DataExportInfo.h"
#include "platform/MessageBox.h"

struct QvCryptKdfLimits;
class QPushButton;
class QCloseEvent;
class QKeyEvent;

namespace nc16 {

class TxWizard;
class TForm2;
class Page1Intro;
class Page2DataSet;
class Page5MyNumber;
class Page3File;
class Page4Summary;

class TForm1 : public QWidget {
  Q_OBJECT
 public:
  // `args` are the command-line arguments after the program name (UTF-8 as the system gives
  // them). `boxes` shows every message and must outlive the form. Call FormCreate next.
  TForm1(std::vector<std::string> args, MessageBoxes& boxes, QWidget* parent = nullptr);
  // Disconnects the databases and frees the export settings, which saves the remembered
  // choices; a failure to save is shown in an error box.
  ~TForm1() override;

  // Start-up: reads the argument, creates the export settings, checks the payroll product and
  // fills the pages. On a start-up stop it has shown the error box and returns false: the
  // program must then end at once, without showing the form or notifying a launcher.
  bool FormCreate();

  // The error-list window shown by Finish when employee data have problems.
  void SetErrorWindow(TForm2* form2);
  // Makes the password hash of encrypted files cheap; for tests only.
  void SetKdfLimits(const QvCryptKdfLimits* limits) { kdf_limits_ = limits; }

  // The wizard's handlers.
  void Wizard1NextClicking(QObject* sender, bool FinalState, bool& AllowChange);
  void Wizard1NextClick(QObject* sender, bool FinalState);
  void btnCancelClick();
  void BuildSummary();
  // The output step: exports the data set as the pages chose it, shows the export's messages and
  // fills the error-list window. The outcome's error list has gone to that window.
  ExportOutcome MakeIntermediateFile();

  // A request from outside to end the program (a signal): the wizard closes as its window would,
  // telling a launcher "not finished" (2), or what Finish has already found.
  void EndOnRequest();

  // Started by a launcher: the argument named a launcher window.
  bool StartedByLauncher() const { return LauncherWindow != 0; }
  // A launch argument was given, so the file page is gone and the launcher's file and key are
  // the output (also when its window field is 0).
  bool FilePageRemoved() const { return argument_given_; }
  // The selected item of page 5's radio group: 0 without, 1 with individual numbers.
  int MyNumberChoice() const;

  // Fields of the form.
  uint32_t LauncherWindow = 0;
  uint32_t LauncherMessage = 0;
  int32_t LauncherWParam = 0;
  std::string LaunchFile;
  std::string LaunchKey;
  bool MyNumberInUse = false;
  std::string MyNumberPassword;
  std::string SystemDrive;
  int32_t ResultCode = 2;
  std::unique_ptr<TDataExportInfo> ExportInfo;
  std::unique_ptr<DataSetCheck> Check;  // dbDatabase1, qryWork1 and the era table

  // Components.
  TxWizard* Wizard1;
  QPushButton* Button1;    // Back
  QPushButton* Button2;    // Next / Finish
  QPushButton* btnCancel;  // Cancel
  Page1Intro* page1;
  Page2DataSet* page2;
  Page5MyNumber* page5;
  Page3File* page3;  // null once removed
  Page4Summary* page4;

 signals:
  // The wizard has ended (after the launcher was notified); the program ends with it.
  void Closed();

 protected:
  // The title-bar close (and any close request from outside) ends the wizard with ResultCode 1
  // and no question; every way of closing runs FormClose once.
  void closeEvent(QCloseEvent* event) override;
  // As in a Windows dialog: Enter that no control takes presses the default button (Next, or
  // Finish on the last page), Esc is Cancel.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FormClose();
  // Closes the form on the program's own behalf (Finish, Cancel), keeping ResultCode.
  void CloseByProgram();
  void SetProductTexts();
  // Shows a page's warning and keeps the user on the page, with the focus on the control the
  // warning is about.
  void Warn(const std::string& text, QWidget* about);
  // The file page's Next; false keeps the user on the page.
  bool CheckFilePage();
  // After a page change: the focus on the page's first control, or on Next when it has none.
  void FocusFirstControl();

  std::vector<std::string> args_;
  MessageBoxes& boxes_;
  TForm2* form2_ = nullptr;
  const QvCryptKdfLimits* kdf_limits_ = nullptr;
  bool argument_given_ = false;
  bool closing_by_program_ = false;
  bool form_closed_ = false;
  bool exported_ = false;  // Finish has run the export: ResultCode holds its result
};

}  // namespace nc16
