#include "app/ScreenFit.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QHeaderView>
#include <QLayout>
#include <QScreen>
#include <QTableView>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "app/WizardFonts.h"

namespace nc16 {
namespace {

// Room for the window manager's title bar and borders, which a window cannot measure before it
// is first shown.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 40;

int Scaled(int value, double factor) {
  return static_cast<int>(std::lround(value * factor));
}

// Edges scale, not sizes: neighbours that touch keep touching.
QRect Scaled(const QRect& r, double factor) {
  const int left = Scaled(r.left(), factor), top = Scaled(r.top(), factor);
  return QRect(left, top, Scaled(r.left() + r.width(), factor) - left,
               Scaled(r.top() + r.height(), factor) - top);
}

QFont Scaled(QFont font, double factor) {
  if (font.pixelSize() > 0) {
    font.setPixelSize(std::max(1, Scaled(font.pixelSize(), factor)));
  } else {
    font.setPointSizeF(font.pointSizeF() * factor);
  }
  return font;
}

// A widget as it was before the window shrank. Every one gets its scaled font set: widgets with a
// style sheet keep the font they had when the sheet was applied instead of following their parent.
struct Placed {
  QWidget* widget;
  std::optional<QRect> geometry;  // none: placed by a layout or by its owner
  QFont font;
};

// The widgets of `parent` that the program placed, and their fonts. A layout places its own
// widgets, and a scroll area's viewport and scroll bars are its own business (a table's headers
// but for their fonts and sections, ScaleTable).
void Collect(QWidget* parent, std::vector<Placed>& out) {
  const bool laid_out = parent->layout() != nullptr;
  for (QObject* object : parent->children()) {
    auto* child = qobject_cast<QWidget*>(object);
    if (child == nullptr || child->isWindow()) continue;
    out.push_back(
        {child, laid_out ? std::nullopt : std::optional(child->geometry()), child->font()});
    if (auto* table = qobject_cast<QTableView*>(child)) {
      for (QHeaderView* header : {table->horizontalHeader(), table->verticalHeader()})
        out.push_back({header, std::nullopt, header->font()});
    }
    if (qobject_cast<QAbstractScrollArea*>(child) == nullptr) Collect(child, out);
  }
}

void ScaleTable(QTableView* table, double factor) {
  for (QHeaderView* header : {table->horizontalHeader(), table->verticalHeader()}) {
    std::vector<int> sizes;
    for (int i = 0; i < header->count(); ++i)
      sizes.push_back(header->sectionSize(i));
    // A new default size is given to every section: the sections' own sizes come after it.
    header->setMinimumSectionSize(Scaled(header->minimumSectionSize(), factor));
    header->setDefaultSectionSize(Scaled(header->defaultSectionSize(), factor));
    for (int i = 0; i < header->count(); ++i)
      header->resizeSection(i, Scaled(sizes[static_cast<size_t>(i)], factor));
  }
  QHeaderView* titles = table->horizontalHeader();
  if (titles->minimumHeight() == titles->maximumHeight())
    titles->setFixedHeight(Scaled(titles->minimumHeight(), factor));
}

}  // namespace

double FitToScreen(QWidget* window) {
  const QScreen* screen = window->screen();
  if (screen == nullptr) return 1;
  const QRect area = screen->availableGeometry();
  const QSize design = window->size();
  double factor = std::min({1.0, double(area.width() - kFrameWidth) / design.width(),
                            double(area.height() - kFrameHeight) / design.height()});
  if (factor >= 1) return 1;
  // Whole pixels for the pages' font, so text shrinks exactly as the boxes that hold it.
  const int font_pixels = ProportionalFont().pixelSize();
  factor = std::max(1, static_cast<int>(std::floor(font_pixels * factor))) / double(font_pixels);
  std::vector<Placed> placed{{window, std::nullopt, window->font()}};
  Collect(window, placed);
  for (const Placed& p : placed) {
    p.widget->setFont(Scaled(p.font, factor));
    if (p.geometry) p.widget->setGeometry(Scaled(*p.geometry, factor));
    if (auto* table = qobject_cast<QTableView*>(p.widget)) ScaleTable(table, factor);
  }
  window->setFixedSize(Scaled(design.width(), factor), Scaled(design.height(), factor));
  return factor;
}

}  // namespace nc16
