#include "app/Page2DataSet.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>

#include "app/QtText.h"
#include "app/WizardFonts.h"
#include "app/WizardPage.h"
#include "document/Texts.h"

namespace nc16 {
namespace {

QString NameTitle() {
  return ToQ(texts::DataNameTitle());
}
QString PathTitle() {
  return ToQ(texts::FolderTitle());
}
QString Up() {
  return ToQ(texts::SortedUp());
}
QString Down() {
  return ToQ(texts::SortedDown());
}

// Striped rows: light blue on odd row numbers (the first data row is row 1), the selected row
// in the highlight colours, the text 2 pixels right of and below the cell's corner. While the
// grid has the focus, a dotted frame runs round the selected row, as Windows draws a focused
// grid's row: the highlight alone looks the same with the focus elsewhere.
class StripedRowDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const QPalette& pal = option.palette;
    const int grid_row = index.row() + 1;
    QColor back, fore;
    if (option.state & QStyle::State_Selected) {
      back = pal.color(QPalette::Active, QPalette::Highlight);
      fore = pal.color(QPalette::Active, QPalette::HighlightedText);
    } else {
      back = grid_row % 2 == 1 ? QColor(166, 202, 240) : pal.color(QPalette::Base);
      fore = pal.color(QPalette::Text);
    }
    painter->save();
    painter->fillRect(option.rect, back);
    painter->setClipRect(option.rect);
    painter->setPen(fore);
    painter->setFont(option.font);
    const QRect text_rect = option.rect.adjusted(2, 2, 0, 0);
    painter->drawText(text_rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      index.data().toString());
    const auto* grid = qobject_cast<const QTableView*>(option.widget);
    if ((option.state & QStyle::State_Selected) && grid != nullptr && grid->hasFocus()) {
      painter->setPen(QPen(fore, 1, Qt::DotLine));
      const QRect r = option.rect.adjusted(0, 0, -1, -1);
      painter->drawLine(r.topLeft(), r.topRight());
      painter->drawLine(r.bottomLeft(), r.bottomRight());
      int last_shown = index.model()->columnCount() - 1;
      while (last_shown > 0 && grid->isColumnHidden(last_shown))
        --last_shown;
      if (index.column() == 0) painter->drawLine(r.topLeft(), r.bottomLeft());
      if (index.column() == last_shown) painter->drawLine(r.topRight(), r.bottomRight());
    }
    painter->restore();
  }
};

}  // namespace

Page2DataSet::Page2DataSet(RowSource rows, QWidget* parent)
    : QWidget(parent), rows_(std::move(rows)) {
  Label2a = MakeLabel(this, "Label2a", QString(), 16, 16, kPageWidth - 32, 16);

  StringGrid1 = new QTableWidget(0, 4, this);
  StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
  StringGrid1->setGeometry(16, 40, kPageWidth - 32, 256);
  StringGrid1->setFont(FixedPitchFont());
  StringGrid1->horizontalHeader()->setFont(FixedPitchFont());
  StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setTabKeyNavigation(false);
  StringGrid1->setWordWrap(false);
  // Whole rows scroll, so the top row is never cut in half.
  StringGrid1->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  StringGrid1->setItemDelegate(new StripedRowDelegate(StringGrid1));
  StringGrid1->verticalHeader()->hide();
  StringGrid1->verticalHeader()->setMinimumSectionSize(20);
  StringGrid1->verticalHeader()->setDefaultSectionSize(20);
  StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  QHeaderView* header = StringGrid1->horizontalHeader();
  header->setFixedHeight(20);
  header->setSectionResizeMode(QHeaderView::Fixed);
  header->setStretchLastSection(false);
  header->setHighlightSections(false);
  // Title clicks sort by the click position alone (see StringGrid1MouseDown); the header must not
  // select columns or sort by itself.
  header->setSectionsClickable(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header->viewport()->installEventFilter(this);
  // A grid row is always selected: Ctrl+click must not leave the page without a data set.
  connect(StringGrid1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (SelectedRow() == 0 && StringGrid1->currentRow() >= 0)
      StringGrid1->selectRow(StringGrid1->currentRow());
  });
  StringGrid1->installEventFilter(this);

  Label2b = MakeLabel(this, "Label2b", ToQ(texts::DataSetPageHint()), 16, 308, kPageWidth - 32, 16);
}

void Page2DataSet::SetTitle(int col, const QString& title) {
  QTableWidgetItem* item = StringGrid1->horizontalHeaderItem(col);
  if (!item) {
    item = new QTableWidgetItem;
    StringGrid1->setHorizontalHeaderItem(col, item);
  }
  item->setText(title);
}

QString Page2DataSet::Title(int col) const {
  QTableWidgetItem* item = StringGrid1->horizontalHeaderItem(col);
  return item ? item->text() : QString();
}

QString Page2DataSet::Cell(int col, int row) const {
  QTableWidgetItem* item = StringGrid1->item(row - 1, col);
  return item ? item->text() : QString();
}

int Page2DataSet::SelectedRow() const {
  const QModelIndexList rows = StringGrid1->selectionModel()->selectedRows();
  return rows.isEmpty() ? 0 : rows.first().row() + 1;
}

void Page2DataSet::SelectRow(int row) {
  if (row < 1 || row > StringGrid1->rowCount()) return;
  StringGrid1->setCurrentCell(row - 1, 0);
  StringGrid1->selectRow(row - 1);
}

void Page2DataSet::SetUp(const std::string& company, const std::string& key) {
  SetTitle(0, NameTitle());
  SetTitle(1, ToQ(texts::PeriodTitle()));
  SetTitle(2, PathTitle() + Up());
  SetTitle(3, QString());
  StringGrid1->setColumnWidth(0, 245);
  StringGrid1->setColumnWidth(1, 125);
  StringGrid1->setColumnWidth(2, 230);
  StringGrid1->setColumnWidth(3, 0);
  StringGrid1->setColumnHidden(3, true);
  LoadDataList("Holder", "ASC");

  int selected = 1;
  if (!company.empty() && !key.empty()) {
    const QString company_text = ToQ(company), key_text = ToQ(key);
    for (int r = 1; r <= StringGrid1->rowCount(); ++r) {
      if (Cell(0, r) == company_text && Cell(3, r) == key_text) {
        selected = r;
        break;
      }
    }
  }
  SelectRow(selected);
  // The selected row becomes the top row once the grid has its size: before it is shown the
  // grid cannot tell how far it scrolls.
  top_row_ = selected;
  if (StringGrid1->isVisible()) ScrollSelectionToTop();
}

void Page2DataSet::ScrollSelectionToTop() {
  if (QTableWidgetItem* item = StringGrid1->item(top_row_ - 1, 0))
    StringGrid1->scrollToItem(item, QAbstractItemView::PositionAtTop);
  top_row_ = 0;
}

void Page2DataSet::LoadDataList(const std::string& SortField, const std::string& Direction) {
  const std::vector<DataListRow> rows = rows_(SortField, Direction);
  // The grid keeps its selected row number across a reload, as long as the row exists.
  const int selected = SelectedRow();
  StringGrid1->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const DataListRow& row = rows[r];
    const std::string* cells[4] = {&row.Name, &row.Period, &row.ShownPath, &row.Holder};
    for (int c = 0; c < 4; ++c)
      StringGrid1->setItem(r, c, new QTableWidgetItem(ToQ(*cells[c])));
  }
  SelectRow(std::min(std::max(selected, 1), StringGrid1->rowCount()));
}

void Page2DataSet::SelectRowByPath(const QString& path) {
  for (int r = 1; r <= StringGrid1->rowCount(); ++r) {
    if (Cell(2, r) == path) {
      SelectRow(r);
      return;
    }
  }
}

void Page2DataSet::StringGrid1MouseDown(Qt::MouseButton button, Qt::MouseButtons buttons,
                                        Qt::KeyboardModifiers modifiers, int X, int Y) {
  if (button != Qt::LeftButton || buttons != Qt::LeftButton || modifiers != Qt::NoModifier) return;
  if (Y < 0 || Y > StringGrid1->horizontalHeader()->height()) return;
  const int w0 = StringGrid1->columnWidth(0), w1 = StringGrid1->columnWidth(1),
            w2 = StringGrid1->columnWidth(2);
  const QString remembered = Cell(2, SelectedRow());
  if (X >= 0 && X <= w0) {
    const bool to_ascending = Title(0) == NameTitle() + Down();
    LoadDataList("Content,Holder", to_ascending ? "ASC" : "DESC");
    SetTitle(0, NameTitle() + (to_ascending ? Up() : Down()));
    SetTitle(2, PathTitle());
  } else if (X >= w0 + w1 && X <= w0 + w1 + w2) {
    const bool to_ascending = Title(2) == PathTitle() + Down();
    LoadDataList("Holder", to_ascending ? "ASC" : "DESC");
    SetTitle(2, PathTitle() + (to_ascending ? Up() : Down()));
    SetTitle(0, NameTitle());
  } else {
    return;
  }
  SelectRowByPath(remembered);
}

bool Page2DataSet::eventFilter(QObject* watched, QEvent* event) {
  if (watched == StringGrid1->horizontalHeader()->viewport() &&
      event->type() == QEvent::MouseButtonPress) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    // Positions count from the grid's left edge, as the column widths do.
    const QPoint p = mouse->position().toPoint();
    StringGrid1MouseDown(mouse->button(), mouse->buttons(), mouse->modifiers(),
                         p.x() + StringGrid1->horizontalHeader()->offset(), p.y());
    return true;
  }
  if (watched == StringGrid1 && event->type() == QEvent::Show && top_row_ > 0)
    ScrollSelectionToTop();
  // The focus frame is drawn round the whole row, not only the current cell Qt repaints.
  if (watched == StringGrid1 &&
      (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
    StringGrid1->viewport()->update();
    enter_pressed_ = false;
  }
  if (watched == StringGrid1 &&
      (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
      // Enter is consumed; on its release the form moves the focus to Next. Only an Enter
      // pressed here counts: the release of the Enter that pressed Next on the page before
      // arrives here too, once the focus has moved to the grid.
      if (event->type() == QEvent::KeyPress) enter_pressed_ = true;
      if (event->type() == QEvent::KeyRelease && enter_pressed_) {
        enter_pressed_ = false;
        emit EnterPressed();
      }
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace nc16
