// Drawing the Hasse diagram in the window and finding the element under the mouse.

#include "app/LatticeView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/FlowLayout.h"

namespace {

constexpr double kMargin = 14;
constexpr double kMostUnitX = 80;   // pixels per unit of horizontal place, at most
constexpr double kMostUnitY = 84;   // pixels per rank, at most
constexpr double kLeastRadius = 7;
constexpr double kMostRadius = 17;
constexpr double kLegendLine = 20;

// Mark colours readable on light and dark backgrounds alike; idempotents are
// filled with the text colour, as papers draw them black.
const QColor kDeltaRing(230, 140, 0);
const QColor kNegationMark(215, 45, 45);

}  // namespace

// The drawing surface: paints through the view and reports the mouse.
class LatticeCanvas : public QWidget {
 public:
  explicit LatticeCanvas(LatticeView* view) : view_(view) {
    setMouseTracking(true);
    setMinimumSize(120, 120);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    view_->Paint(painter);
  }
  void mouseMoveEvent(QMouseEvent* event) override { view_->SetHovered(view_->ElementAt(event->position())); }
  void mousePressEvent(QMouseEvent* event) override { view_->Clicked(event->position()); }
  void leaveEvent(QEvent*) override { view_->SetHovered(-1); }

 private:
  LatticeView* view_;
};

LatticeView::LatticeView(QWidget* parent) : QWidget(parent) {
  CheckBoxIdempotents = new QCheckBox(QStringLiteral("Idempotents of *"));
  CheckBoxDeltaFixed = new QCheckBox(QStringLiteral("Fixed points of d"));
  CheckBoxNegationFixed = new QCheckBox(QStringLiteral("Fixed points of ~x"));
  CheckBoxIdempotents->setToolTip(QStringLiteral("Fill the elements x with x * x = x"));
  CheckBoxDeltaFixed->setToolTip(QStringLiteral("Ring the elements x with d x = x (while Delta is on)"));
  CheckBoxNegationFixed->setToolTip(QStringLiteral("Mark the elements x with x ~ 0 = x"));
  CheckBoxDeltaFixed->setEnabled(false);
  Canvas = new LatticeCanvas(this);
  // The boxes wrap, so the tab never asks for more width than the log beside it.
  auto* marks_row = new QWidget;
  auto* marks = new FlowLayout(marks_row, 10);
  marks->setContentsMargins(4, 2, 4, 0);
  for (QCheckBox* box : {CheckBoxIdempotents, CheckBoxDeltaFixed, CheckBoxNegationFixed}) {
    marks->addWidget(box);
    connect(box, &QCheckBox::toggled, Canvas, qOverload<>(&QWidget::update));
  }
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(marks_row);
  column->addWidget(Canvas, 1);
}

void LatticeView::ShowAlgebra(const TEQAlgebra& algebra, bool with_delta) {
  MeetTable meet = MeetOfAlgebra(algebra);
  marks_ = MarksOfAlgebra(algebra, with_delta);
  CheckBoxDeltaFixed->setEnabled(with_delta);
  if (meet.Size != meet_.Size) SetHighlight(-1, -1);  // another size: the element is another one
  if (meet.Meet != meet_.Meet || meet.Names != meet_.Names) {
    meet_ = std::move(meet);
    fault_ = MeetFault(meet_);
    layout_.reset();
  }
  Canvas->update();
}

const HasseLayout* LatticeView::Layout() {
  if (!fault_.empty() || meet_.Size == 0) return nullptr;
  if (!layout_) layout_ = LayoutHasse(meet_);
  return &*layout_;
}

int LatticeView::LegendLines() const {
  return static_cast<int>(CheckBoxIdempotents->isChecked()) +
         static_cast<int>(CheckBoxDeltaFixed->isChecked() && CheckBoxDeltaFixed->isEnabled()) +
         static_cast<int>(CheckBoxNegationFixed->isChecked());
}

// Units that fit the drawing into the canvas (less the legend), the
// circles as large as the spacing allows, the drawing centred.
LatticeView::Geometry LatticeView::Fit() {
  Geometry g;
  const HasseLayout* layout = Layout();
  if (layout == nullptr) return g;
  const double width = Canvas->width() - 2 * kMargin - 2 * kMostRadius;
  const double height = Canvas->height() - 2 * kMargin - 2 * kMostRadius - LegendLines() * kLegendLine;
  const double span = layout->Right - layout->Left;
  g.unit_x = span > 0 ? std::clamp(width / span, 1.0, kMostUnitX) : kMostUnitX;
  g.unit_y = layout->Height > 0 ? std::clamp(height / layout->Height, 1.0, kMostUnitY) : kMostUnitY;
  g.radius = std::clamp(0.36 * std::min(g.unit_x, g.unit_y), kLeastRadius, kMostRadius);
  const double drawn_width = span * g.unit_x, drawn_height = layout->Height * g.unit_y;
  g.origin_x = (Canvas->width() - drawn_width) / 2 - layout->Left * g.unit_x;
  g.origin_y = kMargin + kMostRadius + std::max(0.0, (height - drawn_height) / 2) + drawn_height;
  return g;
}

QPointF LatticeView::Centre(const Geometry& g, double x, int rank) const {
  return {g.origin_x + x * g.unit_x, g.origin_y - rank * g.unit_y};
}

QPointF LatticeView::ElementCentre(int position) {
  const HasseLayout* layout = Layout();
  if (layout == nullptr || position < 0 || position >= layout->Size) return {};
  return Centre(Fit(), layout->X[position], layout->Rank[position]);
}

double LatticeView::ElementRadius() { return Fit().radius; }

void LatticeView::Paint(QPainter& painter) {
  painter.fillRect(Canvas->rect(), palette().color(QPalette::Base));
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor ink = palette().color(QPalette::Text);
  if (!fault_.empty()) {
    painter.setPen(ink);
    painter.drawText(Canvas->rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap,
                     QString::fromStdString(NoDiagramText(fault_)));
    return;
  }
  const HasseLayout* layout = Layout();
  if (layout == nullptr) return;
  const Geometry g = Fit();
  painter.setPen(QPen(ink, 1.4));
  for (const HasseEdge& edge : layout->Edges) {
    QPolygonF line{Centre(g, layout->X[edge.Lower], layout->Rank[edge.Lower])};
    for (size_t i = 0; i < edge.BendX.size(); ++i)
      line << Centre(g, edge.BendX[i], layout->Rank[edge.Lower] + 1 + static_cast<int>(i));
    line << Centre(g, layout->X[edge.Upper], layout->Rank[edge.Upper]);
    painter.drawPolyline(line);
  }
  QFont font = painter.font();
  font.setPixelSize(std::max(9, static_cast<int>(std::lround(g.radius * 1.15))));
  font.setBold(true);
  painter.setFont(font);
  const bool idempotents = CheckBoxIdempotents->isChecked();
  const bool delta = CheckBoxDeltaFixed->isChecked() && !marks_.DeltaFixed.empty();
  const bool negation = CheckBoxNegationFixed->isChecked();
  const int highlighted = HighlightedElement();
  for (int p = 0; p < layout->Size; ++p) {
    const QPointF centre = Centre(g, layout->X[p], layout->Rank[p]);
    const double r = g.radius;
    if (delta && marks_.DeltaFixed[p]) {
      painter.setPen(QPen(kDeltaRing, 2.5));
      painter.setBrush(Qt::NoBrush);
      painter.drawEllipse(centre, r + 3.5, r + 3.5);
    }
    QColor fill = palette().color(QPalette::Base), text = ink;
    if (idempotents && marks_.ProductIdempotent[p]) {
      fill = ink;
      text = palette().color(QPalette::Base);
    }
    if (p == highlighted) {
      fill = palette().color(QPalette::Highlight);
      text = palette().color(QPalette::HighlightedText);
    }
    painter.setPen(QPen(ink, p == highlighted ? 2.5 : 1.4));
    painter.setBrush(fill);
    painter.drawEllipse(centre, r, r);
    if (negation && marks_.NegationFixed[p]) {
      // A small diamond on the circle's upper right.
      const QPointF at = centre + QPointF(r * 0.8, -r * 0.8);
      const double s = std::max(3.0, r * 0.38);
      painter.setPen(Qt::NoPen);
      painter.setBrush(kNegationMark);
      painter.drawPolygon(QPolygonF{at + QPointF(0, -s), at + QPointF(s, 0), at + QPointF(0, s), at + QPointF(-s, 0)});
    }
    painter.setPen(text);
    painter.drawText(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), Qt::AlignCenter,
                     QString(QChar(static_cast<unsigned char>(meet_.Names[p]))));
  }
  painter.setBrush(Qt::NoBrush);
  PaintLegend(painter, Canvas->height() - kMargin / 2 - LegendLines() * kLegendLine);
}

void LatticeView::PaintLegend(QPainter& painter, double top) {
  QFont font = painter.font();
  font.setBold(false);
  font.setPixelSize(12);
  painter.setFont(font);
  const QColor ink = palette().color(QPalette::Text);
  double y = top;
  const auto line = [&](const QString& text, auto draw_symbol) {
    const QPointF symbol(kMargin + 8, y + kLegendLine / 2);
    draw_symbol(symbol);
    painter.setPen(ink);
    painter.setBrush(Qt::NoBrush);
    painter.drawText(QRectF(kMargin + 22, y, Canvas->width(), kLegendLine), Qt::AlignVCenter, text);
    y += kLegendLine;
  };
  if (CheckBoxIdempotents->isChecked()) {
    line(QStringLiteral("filled: x * x = x"), [&](QPointF at) {
      painter.setPen(QPen(ink, 1.2));
      painter.setBrush(ink);
      painter.drawEllipse(at, 6, 6);
    });
  }
  if (CheckBoxDeltaFixed->isChecked() && CheckBoxDeltaFixed->isEnabled()) {
    line(QStringLiteral("ringed: d x = x"), [&](QPointF at) {
      painter.setPen(QPen(kDeltaRing, 2.5));
      painter.setBrush(Qt::NoBrush);
      painter.drawEllipse(at, 7, 7);
    });
  }
  if (CheckBoxNegationFixed->isChecked()) {
    line(QStringLiteral("diamond: ~x = x ~ 0 = x"), [&](QPointF at) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(kNegationMark);
      painter.drawPolygon(QPolygonF{at + QPointF(0, -5), at + QPointF(5, 0), at + QPointF(0, 5), at + QPointF(-5, 0)});
    });
  }
}

int LatticeView::ElementAt(const QPointF& point) {
  const HasseLayout* layout = Layout();
  if (layout == nullptr) return -1;
  const Geometry g = Fit();
  int nearest = -1;
  double best = (g.radius + 3) * (g.radius + 3);
  for (int p = 0; p < layout->Size; ++p) {
    const QPointF d = point - Centre(g, layout->X[p], layout->Rank[p]);
    const double distance = d.x() * d.x() + d.y() * d.y();
    if (distance <= best) {
      best = distance;
      nearest = p;
    }
  }
  return nearest;
}

void LatticeView::SetHovered(int position) { SetHighlight(position, pinned_); }

void LatticeView::Clicked(const QPointF& point) {
  const int position = ElementAt(point);
  SetHighlight(hovered_, position == pinned_ ? -1 : position);
}

void LatticeView::SetHighlight(int hovered, int pinned) {
  const int before = HighlightedElement();
  hovered_ = hovered;
  pinned_ = pinned;
  if (HighlightedElement() != before) {
    Canvas->update();
    emit ElementHighlighted(HighlightedElement());
  }
}
