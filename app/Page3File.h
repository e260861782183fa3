#pragma once
// Page "page3": the intermediate file's name and, with individual numbers, the password that
// encrypts it. Present only when the wizard was started alone.

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "app/SaveDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QGroupBox;

namespace nc16 {

class TxEdit;

class Page3File : public QWidget {
  Q_OBJECT
 public:
  explicit Page3File(QWidget* parent = nullptr);

  // The page's lead, which names the product that imports the file.
  void SetTargetProduct(const std::string& target);
  // Preparation on the way from page 5: the remembered file name `remembered` (CP932) with the
  // extension that fits the My Number choice, the password row shown or hidden, the hint.
  void Prepare(const std::string& remembered, bool with_my_number);
  void BitBtn4aClick();
  static void EditPassKeyPress(QObject* sender, QChar& key);
  // The file box holds what the browse dialog chose after it asked whether to replace the
  // existing file: Next does not ask again.
  bool ReplaceConfirmed() const;

  // Test seam: when set, the browse button asks this instead of showing the dialog; nullopt is
  // a cancelled dialog.
  static std::function<std::optional<QString>(const SaveDialogRequest&)> SaveDialogAnswer;

  QLabel* Label4a;
  QGroupBox* GroupBox4;
  QLineEdit* Edit4a;
  QPushButton* BitBtn4a;
  QLabel* Label1;
  TxEdit* EditPass;
  QLabel* Label4b;

 private:
  bool with_my_number_ = false;  // the choice the page was prepared for
  QString confirmed_;            // the dialog's last answer, taken as it was
};

}  // namespace nc16
