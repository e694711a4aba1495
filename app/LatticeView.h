#pragma once
// The "Lattice" tab: the Hasse diagram of the shown algebra's meet, scaled
// to fit the tab, each element's name in its circle. Hovering over an
// element, or clicking it (a second click, or a click beside the elements,
// lets go), makes it the highlighted one, which the window shows in the
// tables. Check boxes above the drawing mark the idempotents of *, the fixed
// points of d and those of the negation ~x = x ~ 0. When ^ is not a meet
// (a member of a search that is not a winner) the tab says which law fails.

#include <QCheckBox>
#include <QPointF>
#include <QWidget>
#include <optional>

#include "diagram/ElementMarks.h"
#include "model/EQAlgebra.h"
#include "diagram/HasseLayout.h"

class LatticeView : public QWidget {
  Q_OBJECT

 public:
  explicit LatticeView(QWidget* parent = nullptr);

  // Takes what the drawing needs from the algebra (it may be freed later);
  // the layout is made when the tab is next painted, and kept while the
  // meet stays the same.
  void ShowAlgebra(const TEQAlgebra& algebra, bool with_delta);

  // The element under the mouse, else the one clicked; -1 when none.
  int HighlightedElement() const { return hovered_ >= 0 ? hovered_ : pinned_; }
  // The law by which ^ is not a meet, empty when it is one.
  const std::string& Fault() const { return fault_; }
  // The drawing (laid out now if it is due); null when there is none.
  const HasseLayout* Layout();
  // Where an element's circle is centred on the canvas, and its radius.
  QPointF ElementCentre(int position);
  double ElementRadius();

  QCheckBox* CheckBoxIdempotents = nullptr;    // "Idempotents of *"
  QCheckBox* CheckBoxDeltaFixed = nullptr;     // "Fixed points of d"
  QCheckBox* CheckBoxNegationFixed = nullptr;  // "Fixed points of ~x"
  QWidget* Canvas = nullptr;                   // the drawing; mouse events go here

 signals:
  void ElementHighlighted(int position);  // -1: none

 private:
  friend class LatticeCanvas;
  struct Geometry {
    double unit_x = 0, unit_y = 0, radius = 0, origin_x = 0, origin_y = 0;
  };
  Geometry Fit();
  QPointF Centre(const Geometry& g, double x, int rank) const;
  void Paint(class QPainter& painter);
  void PaintLegend(QPainter& painter, double top);
  int ElementAt(const QPointF& point);
  void SetHovered(int position);
  void Clicked(const QPointF& point);
  void SetHighlight(int hovered, int pinned);
  int LegendLines() const;

  MeetTable meet_;
  std::string fault_;
  std::optional<HasseLayout> layout_;  // empty until laid out, and while ^ is not a meet
  ElementMarks marks_;
  int hovered_ = -1;
  int pinned_ = -1;
};
