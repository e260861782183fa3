#pragma once
// The file page's browse dialog: Qt's own save dialog (the desktop's differs from one system to
// the next), Japanese whatever the locale. Qt words its columns by the system's locale (under
// C.UTF-8 "Folder", "0 bytes", dates as "9 Dec 2026 10:39:43") and sizes them for short Latin
// texts; here sizes and dates are written as in Japanese, folders are called as the system the
// wizard comes from calls them, and the columns are as wide as what they show.

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QFileDialog;
class QWidget;

namespace nc16 {

// What the browse button asks the save dialog.
struct SaveDialogRequest {
  QString title;
  QString folder;         // initial folder
  QStringList filters;    // Qt name filters, in order
  QString defaultSuffix;  // empty: none
  QString fileName;       // offered name
};

// The dialog set up for `request`, in its detailed view, not yet shown.
std::unique_ptr<QFileDialog> MakeSaveDialog(QWidget* parent, const SaveDialogRequest& request);

// Shows that dialog modally; the chosen path, or nothing when the user cancelled. An existing
// file is chosen only after the dialog's own question to replace it.
std::optional<QString> AskSaveFile(QWidget* parent, const SaveDialogRequest& request);

}  // namespace nc16
