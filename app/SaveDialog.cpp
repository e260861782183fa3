#include "app/SaveDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QTreeView>

#include "app/QtText.h"
#include "document/Texts.h"

namespace nc16 {
namespace {

// The file system model's columns as Japanese shows them: size, type of a folder, date.
class JapaneseColumns : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || files == nullptr || index.column() == 0)
      return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    switch (index.column()) {
      case 1:
        return files->isDir(source)
                   ? QString()
                   : japanese.formattedDataSize(files->size(source), 0,
                                                QLocale::DataSizeTraditionalFormat);
      case 2:
        if (files->isDir(source)) return ToQ(texts::FolderType());
        break;
      case 3:
        return japanese.toString(files->lastModified(source), QLocale::ShortFormat);
      default:
        break;
    }
    return QIdentityProxyModel::data(index, role);
  }
};

}  // namespace

std::unique_ptr<QFileDialog> MakeSaveDialog(QWidget* parent, const SaveDialogRequest& request) {
  auto dialog = std::make_unique<QFileDialog>(parent, request.title, request.folder);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setOption(QFileDialog::HideNameFilterDetails);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  dialog->setViewMode(QFileDialog::Detail);
  dialog->setNameFilters(request.filters);
  dialog->setDefaultSuffix(request.defaultSuffix);
  dialog->setProxyModel(new JapaneseColumns(dialog.get()));
  // Size, type and date as wide as what they show; the name takes what the user gives it.
  if (auto* details = dialog->findChild<QTreeView*>(QStringLiteral("treeView"))) {
    for (int column = 1; column <= 3; ++column)
      details->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  }
  // The box may hold a path; the dialog offers its last part in its own folder.
  dialog->selectFile(QFileInfo(request.fileName).fileName());
  return dialog;
}

std::optional<QString> AskSaveFile(QWidget* parent, const SaveDialogRequest& request) {
  std::unique_ptr<QFileDialog> dialog = MakeSaveDialog(parent, request);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return std::nullopt;
  return dialog->selectedFiles().first();
}

}  // namespace nc16
