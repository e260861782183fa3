#pragma once
// TxWizard: a page control for wizards. It shows one of several named pages at a time and
// drives a Back and a Next button that belong to the form: it takes over their clicks, moves
// between the pages, hides Back on the first page, shows the finish caption on Next when the
// last page is reached, and tells its owner about every Next press before and after the move.
// Optionally it shows a per-page header and info line in two labels.
//
// The buttons and labels stay owned by the form; the control only remembers them and must not
// outlive them.

#include <QAbstractButton>
#include <QLabel>
#include <QPointer>
#include <QStackedWidget>
#include <QStringList>
#include <functional>

namespace nc16 {

class TxWizard : public QStackedWidget {
  Q_OBJECT
 public:
  explicit TxWizard(QWidget* parent = nullptr);
  ~TxWizard() override;

  // Pages, in order, each with a name ("page1" ...). The control takes ownership of `page`.
  int AddPage(QWidget* page, const QString& name);
  // Removes the named page from the list and deletes it; false when there is no such page.
  bool RemovePage(const QString& name);
  int PageCount() const { return count(); }
  QWidget* Page(const QString& name) const;
  QString PageName(int index) const;

  int PageIndex() const { return currentIndex(); }
  void SetPageIndex(int index) { setCurrentIndex(index); }
  QString ActivePage() const { return PageName(currentIndex()); }
  void SetActivePage(const QString& name);

  // Captions. Changing one does not touch a button until the next move.
  QString NextButtonCap;     // Next on every page but the last
  QString NextButtonFinCap;  // Next on the last page
  QString BackButtonCap;

  QAbstractButton* NextButton() const { return next_button_; }
  QAbstractButton* BackButton() const { return back_button_; }
  QLabel* LblHeader() const { return lbl_header_; }
  QLabel* LblInfo() const { return lbl_info_; }
  // Take over the button's clicks and set its caption (Next: the finish caption when there is
  // exactly one page). Back is hidden: the wizard starts on its first page.
  void SetNextButton(QAbstractButton* button);
  void SetBackButton(QAbstractButton* button);
  // Show the current page's line of HeaderCaption / InfoCaption when it has one.
  void SetLblHeader(QLabel* label);
  void SetLblInfo(QLabel* label);

  // One line per page, by page index; copied on assignment.
  const QStringList& HeaderCaption() const { return header_caption_; }
  const QStringList& InfoCaption() const { return info_caption_; }
  void SetHeaderCaption(const QStringList& lines) { header_caption_ = lines; }
  void SetInfoCaption(const QStringList& lines) { info_caption_ = lines; }

  // Events. OnNextClicking comes before a Next press takes effect (FinalState is always false
  // there; clearing AllowChange cancels the press); OnNextClick after a permitted press, with
  // FinalState true when Next was pressed on the last page (the page then stays).
  std::function<void(QObject* sender)> OnBackClick;
  std::function<void(QObject* sender, bool FinalState)> OnNextClick;
  std::function<void(QObject* sender, bool FinalState, bool& AllowChange)> OnNextClicking;

  // The buttons' click handlers.
  void NextClick(QObject* sender);
  void BackClick(QObject* sender);

 private:
  void ShowCaptions();
  bool IsLastPage() const { return count() == currentIndex() + 1; }

  QPointer<QAbstractButton> next_button_;
  QPointer<QAbstractButton> back_button_;
  QPointer<QLabel> lbl_header_;
  QPointer<QLabel> lbl_info_;
  QMetaObject::Connection next_connection_;
  QMetaObject::Connection back_connection_;
  QStringList header_caption_;
  QStringList info_caption_;
};

}  // namespace nc16
