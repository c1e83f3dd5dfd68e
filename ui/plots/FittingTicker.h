#pragma once

#include <qcustomplot.h>

// Ticks for a value axis that fit its length: the finest readable step (1, 2, 2.5 or 5 times a power
// of ten) whose labels stand apart by a gap, and no label where it would reach past the axis's ends
// (into the next track). The length and font are the axis's as last laid out.
class CFittingTicker : public QCPAxisTicker {
 public:
  explicit CFittingTicker(const QCPAxis& axis) : m_axis(axis) {}

  // Pixels between two labels side by side, or between two labels one above the other.
  static constexpr double kAcrossGap = 10.0;
  static constexpr double kAlongGap = 4.0;

 protected:
  double getTickStep(const QCPRange& range) override;
  QVector<QString> createLabelVector(const QVector<double>& ticks, const QLocale& locale, QChar formatChar,
                                     int precision) override;

 private:
  // The room a label takes along the axis, in pixels.
  [[nodiscard]] double LabelExtent(const QString& label) const;
  [[nodiscard]] double AxisPixels() const;

  const QCPAxis& m_axis;
};
