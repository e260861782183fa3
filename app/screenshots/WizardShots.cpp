// nc16-wizard-shots DIR [--screen NAME]: walks the wizard through a typical run on the
// installation the environment names (a demo installation) and saves each page, the error-list
// window and a message box as PNG files in DIR, so a reviewer sees the real windows: the browse
// dialog with Qt's Japanese texts, the password boxes' "*", the Next button focused by Enter in
// the grid, a long path wrapped on the summary, a refused file name with its warning and the
// version-stop box with its lines unwrapped. With --screen, only the data-set page on the whole
// screen (for a small screen at a large scale factor). Run it on Qt's offscreen platform; the
// window frames are the window manager's and are not part of the pictures.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "app/Page2DataSet.h"
#include "app/Page3File.h"
#include "app/Page5MyNumber.h"
#include "app/QtText.h"
#include "app/QtTranslation.h"
#include "app/WizardBoxes.h"
#include "app/WizardLook.h"
#include "app/controls/xEdit.h"
#include "app/controls/xWizard.h"
#include "app/gMain.h"
#include "app/mErrorList.h"
#include "document/Texts.h"
#include "platform/Cp932.h"

namespace {

using namespace nc16;

bool Save(QWidget& widget, const QDir& dir, const char* name) {
  QApplication::processEvents();
  const QString file = dir.filePath(QString::fromLatin1(name));
  if (!widget.grab().save(file, "PNG")) {
    std::fprintf(stderr, "nc16-wizard-shots: cannot write %s\n", file.toUtf8().constData());
    return false;
  }
  std::printf("%s\n", file.toUtf8().constData());
  return true;
}

// The grid row of the data set whose data name is `name`; 1 when there is none.
int RowOf(Page2DataSet& page, const QString& name) {
  for (int r = 1; r < page.RowCount(); ++r)
    if (page.Cell(0, r) == name) return r;
  return 1;
}

void Next(TForm1& form) {
  form.Button2->click();
}

void PressEnter(QWidget* widget) {
  for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    QKeyEvent key(type, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(widget, &key);
  }
}

bool SavePixmap(const QPixmap& pixmap, const QDir& dir, const char* name) {
  const QString file = dir.filePath(QString::fromLatin1(name));
  if (!pixmap.save(file, "PNG")) {
    std::fprintf(stderr, "nc16-wizard-shots: cannot write %s\n", file.toUtf8().constData());
    return false;
  }
  std::printf("%s\n", file.toUtf8().constData());
  return true;
}

// The form with a message box over its middle, as the user sees a page's warning.
bool SaveWithBox(TForm1& form, MessageKind kind, const QString& text, const QDir& dir,
                 const char* name) {
  QMessageBox box(&form);
  WizardBoxes::Prepare(box, kind, text, MessageButtons::kOk);
  box.show();
  QApplication::processEvents();
  QPixmap picture = form.grab();
  const QPixmap over = box.grab();
  QPainter painter(&picture);
  const QPoint at = form.rect().center() - box.rect().center();
  painter.drawPixmap(at, over);
  painter.setPen(QColor(100, 100, 100));  // where the window manager's frame would be
  painter.drawRect(QRect(at, box.size()).adjusted(-1, -1, 0, 0));
  painter.end();
  box.hide();
  return SavePixmap(picture, dir, name);
}

// The whole screen with the form where it stands: at a scale factor too large for the screen
// the form must still lie on it whole.
bool SaveScreen(TForm1& form, const QDir& dir, const char* name) {
  QApplication::processEvents();
  const QScreen* screen = form.screen();
  const qreal ratio = screen->devicePixelRatio();
  QPixmap picture(screen->geometry().size() * ratio);
  picture.setDevicePixelRatio(ratio);
  picture.fill(QColor(58, 110, 165));
  QPainter painter(&picture);
  painter.drawPixmap(form.geometry().topLeft() - screen->geometry().topLeft(), form.grab());
  painter.end();
  return SavePixmap(picture, dir, name);
}

int Run(int argc, char** argv) {
  QApplication app(argc, argv);
  if (!InstallQtJapanese())
    std::fprintf(stderr, "nc16-wizard-shots: Qt's Japanese translation %s is missing\n",
                 QtJapaneseTranslationFile().toUtf8().constData());
  SetUpWizardLook();
  // With "--screen NAME" only the data-set page on the whole screen is drawn, as NAME: the run
  // for a screen and scale factor of the environment's choosing (QT_SCALE_FACTOR).
  const bool screen_only = argc == 4 && std::strcmp(argv[2], "--screen") == 0;
  if (argc != 2 && !screen_only) {
    std::fprintf(stderr, "usage: nc16-wizard-shots DIR [--screen NAME]\n");
    return 2;
  }
  QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!dir.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "nc16-wizard-shots: cannot create %s\n", argv[1]);
    return 1;
  }
  // Page checks would stop the run with a modal box; record them instead and report them.
  WizardBoxes boxes;
  WizardBoxes::SetRecording(true);
  bool ok = true;
  {
    TForm1 form({}, boxes);
    if (!form.FormCreate()) {
      for (const auto& shown : WizardBoxes::Recorded())
        std::fprintf(stderr, "%s\n", shown.text.toUtf8().constData());
      return 1;
    }
    form.show();
    QApplication::setActiveWindow(&form);
    if (screen_only) {
      Next(form);
      return SaveScreen(form, dir, argv[3]) ? 0 : 1;
    }
    ok &= Save(form, dir, "1-intro.png");
    Next(form);
    // Enter in the grid hands the focus to Next, which shows it.
    form.page2->SelectRow(RowOf(*form.page2, QStringLiteral("株式会社ミルベク商事")));
    form.page2->StringGrid1->setFocus();
    PressEnter(form.page2->StringGrid1);
    ok &= Save(form, dir, "2-data-set.png");
    PressEnter(form.Button2);
    form.page5->grpMnNum->Item(1)->click();
    form.page5->edMNum->setText(QStringLiteral("vantrel16"));
    ok &= Save(form, dir, "3-my-number.png");
    Next(form);
    // Paths as the user types them on the system ("\\" on Windows).
    form.page3->Edit4a->setText(QDir::toNativeSeparators(
        QDir::home().filePath(QStringLiteral("Documents/nenchou.xml.qve"))));
    form.page3->EditPass->setText(QStringLiteral("secret"));
    ok &= Save(form, dir, "4-file.png");
    // A folder and last year's file for the browse dialog to list; the folder is deep, for the
    // summary further on.
    QString deep = QDir::home().filePath(QStringLiteral("Documents"));
    for (const char* part : {"給与連動", "2026年度", "株式会社ミルベク商事_本社経理部", "年末調整",
                             "ゾルテ取込用_中間ファイル_最終確認済み"})
      deep += QLatin1Char('/') + QString::fromUtf8(part);
    QDir().mkpath(deep);
    QFile last_year(QDir::home().filePath(QStringLiteral("Documents/nenchou2025.xml.qve")));
    if (last_year.open(QIODevice::WriteOnly)) last_year.write(QByteArray(18432, 'x'));
    last_year.close();
    // The browse dialog, in its own modal loop.
    QTimer::singleShot(0, [&] {
      if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
        dialog->resize(560, 360);
        ok &= Save(*dialog, dir, "4b-browse.png");
        dialog->reject();
      }
    });
    form.page3->BitBtn4a->click();
    Next(form);
    ok &= Save(form, dir, "5-summary.png");

    // A file deep in folders: the summary wraps the path, so the file's name is seen.
    form.Button1->click();
    form.page3->Edit4a->setText(
        QDir::toNativeSeparators(deep + QStringLiteral("/nenchou.xml.qve")));
    Next(form);
    ok &= Save(form, dir, "5b-summary-long-path.png");

    // A name that Shift_JIS cannot hold is refused on Next, before anything is written.
    form.Button1->click();
    WizardBoxes::Recorded().clear();
    form.page3->Edit4a->setText(QDir::toNativeSeparators(
        QDir::home().filePath(QStringLiteral("Documents/データ\uD55C\U0001F600.xml.qve"))));
    Next(form);
    if (WizardBoxes::Recorded().size() == 1) {
      ok &= SaveWithBox(form, WizardBoxes::Recorded()[0].kind, WizardBoxes::Recorded()[0].text, dir,
                        "4c-refused-name.png");
    } else {
      std::fprintf(stderr, "nc16-wizard-shots: the refused name gave no warning\n");
      ok = false;
    }
    form.page3->Edit4a->setText(
        QDir::toNativeSeparators(deep + QStringLiteral("/nenchou.xml.qve")));
    Next(form);

    // The error list of the data set with faulty employees.
    form.Button1->click();
    form.Button1->click();
    form.Button1->click();
    form.page2->SelectRow(RowOf(*form.page2, QStringLiteral("エラー確認用")));
    Next(form);
    Next(form);
    form.page3->Edit4a->setText(QDir::home().filePath(QStringLiteral("nc16-shots.xml")));
    Next(form);
    TForm2 form2(&form);
    form.SetErrorWindow(&form2);
    form.MakeIntermediateFile();
    form2.Refresh();
    form2.show();
    ok &= Save(form2, dir, "6-error-list.png");
    form2.hide();

    QMessageBox box(&form);
    WizardBoxes::Prepare(box, MessageKind::kInformation, ToQ(texts::CancelQuestion()),
                         MessageButtons::kYesNo);
    box.show();
    ok &= Save(box, dir, "7-message-box.png");
    box.hide();

    QMessageBox stop(&form);
    WizardBoxes::Prepare(stop, MessageKind::kError, ToQ(texts::SourceTooOld("7.0.0")),
                         MessageButtons::kOk);
    stop.show();
    ok &= Save(stop, dir, "8-version-stop.png");
    stop.hide();
    form.hide();
  }
  return ok ? 0 : 1;
}

}  // namespace

// An error that escaped the walk ends the program with a message and status 4, not an abort.
int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "nc16-wizard-shots: %s\n", nc16::Cp932ToUtf8(e.what()).c_str());
  } catch (...) {
    std::fprintf(stderr, "nc16-wizard-shots: unexpected failure\n");
  }
  return 4;
}
