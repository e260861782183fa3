#include "app/Page5MyNumber.h"

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>

#include "app/QtText.h"
#include "app/WizardPage.h"
#include "app/controls/xEdit.h"
#include "document/Texts.h"

namespace nc16 {

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columns,
                         QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
  const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
  for (int i = 0; i < items.size(); ++i) {
    auto* item = new QRadioButton(items[i], this);
    item->setObjectName(QStringLiteral("item%1").arg(i));
    group_->addButton(item, i);
    item->setProperty("nc16Column", i / rows);
    item->setProperty("nc16Row", i % rows);
  }
  connect(group_, &QButtonGroup::idClicked, this, [this](int) {
    if (OnClick) OnClick();
  });
}

int TRadioGroup::ItemIndex() const {
  return group_->checkedId();
}

void TRadioGroup::SetItemIndex(int index) {
  if (QAbstractButton* b = group_->button(index)) b->setChecked(true);
}

QRadioButton* TRadioGroup::Item(int index) const {
  return static_cast<QRadioButton*>(group_->button(index));
}

Page5MyNumber::Page5MyNumber(QWidget* parent) : QWidget(parent) {
  Label6a = MakeLabel(this, "Label6a", ToQ(texts::MyNumberPageLead()), 16, 16, kPageWidth - 32, 16);
  grpMnNum = new TRadioGroup(ToQ(texts::MyNumberGroup()),
                             {ToQ(texts::WithoutMyNumber()), ToQ(texts::WithMyNumber())}, 2, this);
  grpMnNum->setObjectName(QStringLiteral("grpMnNum"));
  grpMnNum->setGeometry(16, 44, kPageWidth - 32, 56);
  const int column_width = (kPageWidth - 32 - 24) / 2;
  for (int i = 0; i < 2; ++i)
    grpMnNum->Item(i)->setGeometry(12 + i * column_width, 24, column_width, 20);
  grpMnNum->SetItemIndex(0);
  grpMnNum->OnClick = [this] { grpMnNumClick(); };

  Label6b = MakeLabel(this, "Label6b", ToQ(texts::ManagementPasswordLabel()), 32, 124, 140, 16);
  edMNum = new TxEdit(this);
  edMNum->setObjectName(QStringLiteral("edMNum"));
  edMNum->setGeometry(176, 121, 160, 21);
  edMNum->setMaxLength(16);
  edMNum->SetPasswordChar(QLatin1Char('*'));
  edMNum->SetKeyEdit3D(bsNone);
  edMNum->SetOnKeyPress(&Page5MyNumber::edMNumKeyPress);
  Label6c = MakeLabel(this, "Label6c", QString(), 32, 156, kPageWidth - 64, 32);
  Label6c->setWordWrap(true);
  grpMnNumClick();
}

void Page5MyNumber::SetSourceProduct(const std::string& source) {
  Label6c->setText(ToQ(texts::ManagementPasswordHint(source)));
}

void Page5MyNumber::grpMnNumClick() {
  const bool shown = grpMnNum->ItemIndex() == 1;
  Label6b->setVisible(shown);
  edMNum->setVisible(shown);
  Label6c->setVisible(shown);
}

void Page5MyNumber::edMNumKeyPress(QObject*, QChar& key) {
  const char16_t c = key.unicode();
  const bool passes = c == 8 || c == 13 || c == 27 || (c >= '0' && c <= '9') ||
                      (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  if (!passes) key = QChar();
}

}  // namespace nc16
