#pragma once
// Page "page2": the choice of the data set. The grid StringGrid1 lists the data sets of the
// payroll product (rows from LoadDataList), sorted by a click on the title of the data name or
// the folder path (the sort state lives in the titles' " ▲"/" ▼"), drawn with striped rows.

#include <QTableWidget>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "app/flow/DataList.h"

class QLabel;
class QPushButton;

namespace nc16 {

class Page2DataSet : public QWidget {
  Q_OBJECT
 public:
  // Reads the rows of the data list in the order asked for (SortField, Direction); the form
  // gives it, with the connections and the messages of a failure.
  using RowSource = std::function<std::vector<DataListRow>(const std::string& SortField,
                                                           const std::string& Direction)>;

  Page2DataSet(RowSource rows, QWidget* parent = nullptr);

  // Set-up at form creation: titles, widths, the list sorted by folder, and the remembered data
  // set (its company name and key, CP932) selected.
  void SetUp(const std::string& company, const std::string& key);
  // Refills the rows; SortField "Holder" or "Content,Holder", Direction "ASC" or "DESC".
  void LoadDataList(const std::string& SortField, const std::string& Direction);
  // Selects the first row whose shown folder (column 2) equals `path`; no change when none does.
  void SelectRowByPath(const QString& path);
  // The selected data row (from 1, as the grid counts with its title row); 0 when none.
  int SelectedRow() const;
  void SelectRow(int row);
  // Cell text, rows counted from 1 below the title row.
  QString Cell(int col, int row) const;
  int RowCount() const { return StringGrid1->rowCount() + 1; }  // with the title row

  // A mouse press on the grid at X, Y of its title row (Y within the title's height).
  void StringGrid1MouseDown(Qt::MouseButton button, Qt::MouseButtons buttons,
                            Qt::KeyboardModifiers modifiers, int X, int Y);

  QLabel* Label2a;
  QTableWidget* StringGrid1;
  QLabel* Label2b;

 signals:
  // Enter was pressed in the grid: the user is done with the page.
  void EnterPressed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ScrollSelectionToTop();
  void SetTitle(int col, const QString& title);
  QString Title(int col) const;

  RowSource rows_;
  int top_row_ = 0;             // the row to scroll to the top when the grid is shown; 0: none
  bool enter_pressed_ = false;  // Enter went down in the grid and is not up yet
};

}  // namespace nc16
