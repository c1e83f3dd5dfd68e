#pragma once

#include <qcustomplot.h>

// One track's chart, whose layout (margins and axis rectangle) can be worked out without drawing, so
// that the tracks' time axes can be lined up before they are drawn.
class CTrackPlot : public QCustomPlot {
  Q_OBJECT

 public:
  using QCustomPlot::QCustomPlot;

  void LayOut() { updateLayout(); }

 protected:
  // The ticks are chosen for the axes' lengths as last laid out: laid out at the new size first, a
  // resized track draws ticks that fit it.
  void resizeEvent(QResizeEvent* event) override {
    setViewport(rect());
    updateLayout();
    QCustomPlot::resizeEvent(event);
  }
};
