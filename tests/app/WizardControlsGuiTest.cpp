// TxWizard and TxEdit: page moves, button captions and events of the page control; focus moves,
// caret placement, number access and filtering of the edit box.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include "app/controls/xEdit.h"
#include "app/controls/xWizard.h"
#include "tests/app/GuiTestSupport.h"

namespace nc16::test {
namespace {

const QString kNext = QStringLiteral("次へ(&N) >");
const QString kFinish = QStringLiteral("完了(&F)");

// A form with a wizard of `pages` pages, Back and Next, and a record of its events.
class WizardForm : public ::testing::Test {
 protected:
  void Build(int pages) {
    App();
    form_ = std::make_unique<QWidget>();
    wizard_ = new TxWizard(form_.get());
    for (int i = 1; i <= pages; ++i)
      wizard_->AddPage(new QWidget, QStringLiteral("page%1").arg(i));
    back_ = new QPushButton(form_.get());
    next_ = new QPushButton(form_.get());
    wizard_->SetBackButton(back_);
    wizard_->SetNextButton(next_);
    wizard_->OnNextClicking = [this](QObject* sender, bool final_state, bool& allow) {
      events_.push_back(QStringLiteral("clicking %1").arg(final_state));
      EXPECT_EQ(sender, next_);
      allow = allow_;
    };
    wizard_->OnNextClick = [this](QObject*, bool final_state) {
      events_.push_back(QStringLiteral("click %1").arg(final_state));
    };
    wizard_->OnBackClick = [this](QObject*) { events_.push_back(QStringLiteral("back")); };
    form_->show();
  }
  void Next() { QTest::mouseClick(next_, Qt::LeftButton); }
  void Back() { QTest::mouseClick(back_, Qt::LeftButton); }

  std::unique_ptr<QWidget> form_;
  TxWizard* wizard_ = nullptr;
  QPushButton* back_ = nullptr;
  QPushButton* next_ = nullptr;
  bool allow_ = true;
  QStringList events_;
};

TEST_F(WizardForm, OnePageFinishesAtOnce) {
  Build(1);
  EXPECT_EQ(next_->text(), kFinish);
  EXPECT_TRUE(back_->isHidden());
  Next();
  EXPECT_EQ(events_, QStringList({"clicking 0", "click 1"}));
  EXPECT_EQ(wizard_->PageIndex(), 0);
  EXPECT_TRUE(back_->isHidden());
  Back();
  EXPECT_TRUE(back_->isHidden());
  EXPECT_EQ(events_.last(), "back");
}

TEST_F(WizardForm, FivePagesForwardAndBack) {
  Build(5);
  EXPECT_EQ(next_->text(), kNext);
  EXPECT_EQ(back_->text(), QStringLiteral("< 戻る(&B)"));
  EXPECT_TRUE(back_->isHidden());
  Next();
  EXPECT_FALSE(back_->isHidden());
  EXPECT_EQ(wizard_->ActivePage(), "page2");
  Next();
  Next();
  EXPECT_EQ(next_->text(), kNext);
  Next();
  EXPECT_EQ(wizard_->PageIndex(), 4);
  EXPECT_EQ(next_->text(), kFinish);
  EXPECT_EQ(events_.last(), "click 0");
  Next();  // on the last page: no move, FinalState true
  EXPECT_EQ(wizard_->PageIndex(), 4);
  EXPECT_EQ(events_.mid(events_.size() - 2), QStringList({"clicking 0", "click 1"}));

  Back();
  EXPECT_EQ(next_->text(), kNext);
  EXPECT_EQ(wizard_->PageIndex(), 3);
  Back();
  Back();
  Back();
  EXPECT_EQ(wizard_->PageIndex(), 0);
  EXPECT_TRUE(back_->isHidden());
  EXPECT_EQ(events_.last(), "back");
}

TEST_F(WizardForm, RefusedNextChangesNothing) {
  Build(2);
  allow_ = false;
  Next();
  EXPECT_EQ(wizard_->PageIndex(), 0);
  EXPECT_EQ(next_->text(), kNext);
  EXPECT_EQ(events_, QStringList({"clicking 0"}));
  allow_ = true;
  Next();
  EXPECT_EQ(next_->text(), kFinish);
}

TEST_F(WizardForm, CaptionLinesFollowThePageWhenThereIsOne) {
  Build(3);
  auto* header = new QLabel(form_.get());
  auto* info = new QLabel(form_.get());
  wizard_->SetHeaderCaption({"first", "second"});
  wizard_->SetInfoCaption({"i1", "i2", "i3"});
  wizard_->SetLblHeader(header);
  wizard_->SetLblInfo(info);
  EXPECT_EQ(header->text(), "first");
  Next();
  EXPECT_EQ(header->text(), "second");
  Next();
  EXPECT_EQ(header->text(), "second");  // no third line: the label keeps its text
  EXPECT_EQ(info->text(), "i3");
  Back();
  EXPECT_EQ(header->text(), "second");
  EXPECT_EQ(info->text(), "i2");
}

TEST_F(WizardForm, CaptionChangesWaitForTheNextMove) {
  Build(3);
  wizard_->NextButtonCap = "Go";
  EXPECT_EQ(next_->text(), kNext);
  Next();
  Back();
  EXPECT_EQ(next_->text(), "Go");
}

TEST_F(WizardForm, RemovedPageShortensTheWizard) {
  Build(3);
  EXPECT_TRUE(wizard_->RemovePage("page2"));
  EXPECT_FALSE(wizard_->RemovePage("page2"));
  EXPECT_EQ(wizard_->PageCount(), 2);
  Next();
  EXPECT_EQ(wizard_->ActivePage(), "page3");
  EXPECT_EQ(next_->text(), kFinish);
}

// Three boxes in a row on a form: focus moves between them.
class EditForm : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    form_ = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(form_.get());
    for (auto*& e : edits_) {
      e = new TxEdit(form_.get());
      layout->addWidget(e);
    }
    form_->show();
    QApplication::setActiveWindow(form_.get());
    edits_[1]->setFocus(Qt::TabFocusReason);
  }
  TxEdit* Focused() const { return qobject_cast<TxEdit*>(QApplication::focusWidget()); }

  std::unique_ptr<QWidget> form_;
  TxEdit* edits_[3] = {};
};

TEST_F(EditForm, DefaultKeysEnterAndUpMove) {
  TxEdit* e = edits_[1];
  e->setText("abc");
  QTest::keyClick(e, Qt::Key_Return);
  EXPECT_EQ(Focused(), edits_[2]);
  edits_[1]->setFocus();
  QTest::keyClick(edits_[1], Qt::Key_Up);
  EXPECT_EQ(Focused(), edits_[0]);

  // Left, Right and Down act inside the box.
  edits_[1]->setFocus();
  edits_[1]->setCursorPosition(0);
  QTest::keyClick(edits_[1], Qt::Key_Left);
  QTest::keyClick(edits_[1], Qt::Key_Right);
  QTest::keyClick(edits_[1], Qt::Key_Down);
  EXPECT_EQ(Focused(), edits_[1]);
  EXPECT_EQ(edits_[1]->cursorPosition(), 1);

  // Up with Shift held selects as usual and stays.
  QTest::keyClick(edits_[1], Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_EQ(Focused(), edits_[1]);
}

TEST_F(EditForm, ArrowStylesMoveOnlyAtTheEdges) {
  TxEdit* e = edits_[1];
  e->SetKeyStyles({ksLeft, ksRight, ksDown});
  e->setText("abc");
  e->deselect();
  e->setCursorPosition(3);
  QTest::keyClick(e, Qt::Key_Right);  // caret at the end, nothing selected: stays
  EXPECT_EQ(Focused(), e);
  e->selectAll();
  QTest::keyClick(e, Qt::Key_Right);
  EXPECT_EQ(Focused(), edits_[2]);

  e->setFocus();
  e->deselect();
  e->setCursorPosition(1);
  QTest::keyClick(e, Qt::Key_Left);  // to position 0, stays
  EXPECT_EQ(Focused(), e);
  QTest::keyClick(e, Qt::Key_Left);
  EXPECT_EQ(Focused(), edits_[0]);

  e->setFocus();
  QTest::keyClick(e, Qt::Key_Down);
  EXPECT_EQ(Focused(), edits_[2]);
  e->setFocus();
  QTest::keyClick(e, Qt::Key_Return);  // Enter is no longer a style
  EXPECT_EQ(Focused(), e);
  QTest::keyClick(e, Qt::Key_Up);
  EXPECT_EQ(Focused(), e);
}

TEST_F(EditForm, CaretPlacementOnEntering) {
  TxEdit* e = edits_[2];
  e->setText("hello");
  edits_[0]->setFocus();
  e->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(e->selectedText(), "hello");

  e->SetCursorPos(cpLeft);
  edits_[0]->setFocus();
  e->setFocus(Qt::TabFocusReason);
  EXPECT_FALSE(e->hasSelectedText());
  EXPECT_EQ(e->cursorPosition(), 0);

  e->SetCursorPos(cpRight);
  edits_[0]->setFocus();
  e->setFocus(Qt::TabFocusReason);
  EXPECT_FALSE(e->hasSelectedText());
  EXPECT_EQ(e->cursorPosition(), 5);
}

TEST_F(EditForm, FilterCanStopEnter) {
  TxEdit* e = edits_[1];
  e->SetOnKeyPress([](QObject*, QChar& key) {
    if (key == QChar(13)) key = QChar();
  });
  QTest::keyClick(e, Qt::Key_Return);
  EXPECT_EQ(Focused(), e);
}

TEST(TxEdit, NumbersAndAlignment) {
  App();
  TxEdit e;
  e.setText("abc");
  EXPECT_EQ(e.Long(), 0);
  EXPECT_EQ(e.Curr(), TxCurrency{0});
  e.setText("12");
  e.SetLong(0);
  EXPECT_EQ(e.text(), "12");
  EXPECT_EQ(e.Long(), 12);
  e.SetLong(-7);
  EXPECT_EQ(e.text(), "-7");
  e.setText("1234.5678");
  EXPECT_EQ(e.Curr(), TxCurrency{12345678});
  e.SetCurr(TxCurrency{0});
  EXPECT_EQ(e.text(), "1234.5678");
  e.SetCurr(TxCurrency{125000});
  EXPECT_EQ(e.text(), "12.5");
  e.SetCurr(TxCurrency{-1});
  EXPECT_EQ(e.text(), "-0.0001");
  EXPECT_EQ(e.Curr(), TxCurrency{-1});

  EXPECT_EQ(e.Alignment(), taLeftJustify);
  e.SetAlignment(taRightJustify);
  EXPECT_TRUE(e.alignment() & Qt::AlignRight);
  e.SetAlignment(taCenter);
  EXPECT_TRUE(e.alignment() & Qt::AlignHCenter);
  EXPECT_EQ(e.KeyEdit3D(), bsSingle);
  EXPECT_TRUE(e.hasFrame());
  e.SetKeyEdit3D(bsNone);
  EXPECT_FALSE(e.hasFrame());
  EXPECT_EQ(e.KeyStyles(), (TKeyStyles{ksEnter, ksUp}));
  EXPECT_EQ(e.CursorPos(), cpAllSel);
  EXPECT_FALSE(e.KanaSw());
}

TEST(TxEdit, BoxOnNoFormOnlyDropsEnter) {
  App();
  TxEdit e;
  e.show();
  QApplication::setActiveWindow(&e);
  e.setFocus();
  e.setText("x");
  QTest::keyClick(&e, Qt::Key_Return);
  EXPECT_EQ(e.text(), "x");
}

TEST(TxEdit, PastedTextPassesTheFilter) {
  App();
  TxEdit e;
  e.SetOnKeyPress([](QObject*, QChar& key) {
    if (!key.isDigit()) key = QChar();
  });
  e.insert("1a2 3");
  EXPECT_EQ(e.text(), "123");
  QApplication::clipboard()->setText("x45y");
  e.paste();
  EXPECT_EQ(e.text(), "12345");
  QTest::keyClicks(&e, "b6");
  EXPECT_EQ(e.text(), "123456");
}

// The test support's watch: a modal window that nobody answers fails the test with its texts
// and is closed, instead of waiting for a click forever.
TEST(GuiTestSupport, AModalWindowLeftOpenFailsTheTest) {
  App();
  QDialog dialog;
  dialog.setWindowTitle("left open");
  (new QLabel("what it shows", &dialog))->show();
  int result = -1;
  EXPECT_NONFATAL_FAILURE(result = dialog.exec(), "QDialog \"left open\"\n  what it shows");
  EXPECT_EQ(result, QDialog::Rejected);
}

}  // namespace
}  // namespace nc16::test
