#pragma once
// A wizard form on a fresh demo installation, with its message boxes recorded instead of shown
// and cheap password hashing, and the moves a user makes on it.

#include <gtest/gtest.h>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "app/Page1Intro.h"
#include "app/Page2DataSet.h"
#include "app/Page3File.h"
#include "app/Page4Summary.h"
#include "app/Page5MyNumber.h"
#include "app/WizardBoxes.h"
#include "app/WizardPage.h"
#include "app/controls/xEdit.h"
#include "app/controls/xWizard.h"
#include "app/gMain.h"
#include "app/mErrorList.h"
#include "external/qvcrypt/QvCryptLib.h"
#include "tests/app/GuiTestSupport.h"

namespace nc16::test {

class WizardFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    WizardBoxes::SetRecording(true);
    WizardBoxes::Clear();
    env_ = std::make_unique<DemoEnvironment>();
  }
  void TearDown() override {
    // A box the test never looked at was not expected: it may be why the test went wrong.
    EXPECT_TRUE(WizardBoxes::Recorded().empty()) << "boxes never checked:\n"
                                                 << Described(TakeBoxes());
    form_.reset();
    WizardBoxes::Clear();
    Page3File::SaveDialogAnswer = nullptr;
  }

  // Creates and shows the form; false on a start-up stop (the form is then not shown).
  bool Start(std::vector<std::string> args = {}) {
    form_ = std::make_unique<TForm1>(std::move(args), boxes_);
    form_->SetKdfLimits(&kFastKdf);
    if (!form_->FormCreate()) return false;
    form2_ = new TForm2(form_.get());
    form_->SetErrorWindow(form2_);
    form_->show();
    QApplication::setActiveWindow(form_.get());
    return true;
  }
  // Ends the form as the program does, so DataSelect.ini is written.
  void Destroy() { form_.reset(); }

  TForm1& F() { return *form_; }
  QString Page() { return form_->Wizard1->ActivePage(); }
  void Next() { QTest::mouseClick(form_->Button2, Qt::LeftButton); }
  void Back() { QTest::mouseClick(form_->Button1, Qt::LeftButton); }
  void SelectDataSet(int n) {
    Page2DataSet& p = *form_->page2;
    for (int r = 1; r < p.RowCount(); ++r) {
      if (p.Cell(3, r) == env_->DataSetKey(n)) {
        p.SelectRow(r);
        return;
      }
    }
    FAIL() << "data set " << n << " not listed";
  }
  void ChooseMyNumber(int item) {
    QTest::mouseClick(form_->page5->grpMnNum->Item(item), Qt::LeftButton);
  }
  void Type(QWidget* box, const QString& text) {
    box->setFocus();
    QTest::keyClicks(box, text);
  }

  // The messages shown since the last call, as "kind|text" with CR shown as "\r".
  std::vector<WizardBoxes::Shown> TakeBoxes() {
    auto shown = WizardBoxes::Recorded();
    WizardBoxes::Recorded().clear();
    return shown;
  }
  // The boxes as their texts, one a line (CR shown as "\r"), for failure messages.
  static std::string Described(const std::vector<WizardBoxes::Shown>& shown) {
    if (shown.empty()) return "no box";
    std::string text;
    for (const auto& box : shown)
      text += "  " + QString(box.text).replace('\r', "\\r").toStdString() + "\n";
    return text;
  }
  // Exactly one box of that kind and text since the last call.
  void ExpectOneBox(MessageKind kind, const QString& text) {
    auto shown = TakeBoxes();
    ASSERT_EQ(shown.size(), 1u) << Described(shown);
    EXPECT_EQ(shown[0].kind, kind);
    EXPECT_EQ(shown[0].text, text);
  }
  void ExpectNoBox() {
    auto shown = TakeBoxes();
    EXPECT_TRUE(shown.empty()) << Described(shown);
  }
  QStringList Summary() { return form_->page4->Memo5b->toPlainText().split('\n'); }

  // Answers the error-list window once it opens (inside its own modal loop) and keeps its text.
  void AnswerErrorWindowWhenShown() {
    QTimer::singleShot(0, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      error_window_text_ = form2_->Memo1->toPlainText();
      error_window_was_modal_ = modal == form2_;
      QTest::mouseClick(form2_->Button1, Qt::LeftButton);
    });
  }

  static inline const QvCryptKdfLimits kFastKdf{1, 8192};
  std::unique_ptr<DemoEnvironment> env_;
  WizardBoxes boxes_;
  std::unique_ptr<TForm1> form_;
  TForm2* form2_ = nullptr;
  QString error_window_text_;
  bool error_window_was_modal_ = false;
};

}  // namespace nc16::test
