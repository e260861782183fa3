#include "app/controls/xWizard.h"

#include <QAbstractButton>
#include <QLabel>

#include "app/QtText.h"
#include "document/Texts.h"

namespace nc16 {
namespace {
const char kPageNameProperty[] = "nc16PageName";
}

TxWizard::TxWizard(QWidget* parent) : QStackedWidget(parent) {
  // Captions stored with the form replace these; they are only the defaults.
  if (NextButtonCap.isEmpty()) NextButtonCap = ToQ(texts::NextCaption());
  if (NextButtonFinCap.isEmpty()) NextButtonFinCap = ToQ(texts::FinishCaption());
  if (BackButtonCap.isEmpty()) BackButtonCap = ToQ(texts::BackCaption());
}

TxWizard::~TxWizard() {
  disconnect(next_connection_);
  disconnect(back_connection_);
}

int TxWizard::AddPage(QWidget* page, const QString& name) {
  page->setProperty(kPageNameProperty, name);
  page->setObjectName(name);
  return addWidget(page);
}

bool TxWizard::RemovePage(const QString& name) {
  QWidget* page = Page(name);
  if (!page) return false;
  removeWidget(page);
  delete page;
  return true;
}

QWidget* TxWizard::Page(const QString& name) const {
  for (int i = 0; i < count(); ++i)
    if (PageName(i) == name) return widget(i);
  return nullptr;
}

QString TxWizard::PageName(int index) const {
  QWidget* page = widget(index);
  return page ? page->property(kPageNameProperty).toString() : QString();
}

void TxWizard::SetActivePage(const QString& name) {
  if (QWidget* page = Page(name)) setCurrentWidget(page);
}

void TxWizard::SetNextButton(QAbstractButton* button) {
  disconnect(next_connection_);
  next_button_ = button;
  if (!button) return;
  next_connection_ =
      connect(button, &QAbstractButton::clicked, this, [this, button] { NextClick(button); });
  button->setText(count() == 1 ? NextButtonFinCap : NextButtonCap);
}

void TxWizard::SetBackButton(QAbstractButton* button) {
  disconnect(back_connection_);
  back_button_ = button;
  if (!button) return;
  back_connection_ =
      connect(button, &QAbstractButton::clicked, this, [this, button] { BackClick(button); });
  button->hide();
  button->setText(BackButtonCap);
}

void TxWizard::SetLblHeader(QLabel* label) {
  lbl_header_ = label;
  if (label && currentIndex() >= 0 && currentIndex() < header_caption_.size())
    label->setText(header_caption_[currentIndex()]);
}

void TxWizard::SetLblInfo(QLabel* label) {
  lbl_info_ = label;
  if (label && currentIndex() >= 0 && currentIndex() < info_caption_.size())
    label->setText(info_caption_[currentIndex()]);
}

void TxWizard::ShowCaptions() {
  const int index = currentIndex();
  // A list shorter than the page list leaves the label as it was.
  if (lbl_header_ && index >= 0 && index < header_caption_.size())
    lbl_header_->setText(header_caption_[index]);
  if (lbl_info_ && index >= 0 && index < info_caption_.size())
    lbl_info_->setText(info_caption_[index]);
}

void TxWizard::NextClick(QObject* sender) {
  const bool was_last = IsLastPage();
  bool final_state = false;
  bool allow_change = true;
  if (OnNextClicking) OnNextClicking(sender, final_state, allow_change);
  if (!allow_change) return;

  if (count() == 1 || was_last) {
    final_state = true;
  } else {
    setCurrentIndex(currentIndex() + 1);
    ShowCaptions();
    if (back_button_) back_button_->show();
  }
  if (IsLastPage() && next_button_) next_button_->setText(NextButtonFinCap);
  if (OnNextClick) OnNextClick(sender, final_state);
}

void TxWizard::BackClick(QObject* sender) {
  if (count() == 1 || currentIndex() == 0) {
    if (back_button_) back_button_->hide();
  } else {
    setCurrentIndex(currentIndex() - 1);
    ShowCaptions();
    if (next_button_) next_button_->setText(NextButtonCap);
  }
  if (currentIndex() == 0 && count() > 1 && back_button_) back_button_->hide();
  if (OnBackClick) OnBackClick(sender);
}

}  // namespace nc16
