#include "ui/plots/FittingTicker.h"

#include <QFontMetricsF>
#include <cmath>

namespace {

constexpr double kMantissas[] = {1.0, 2.0, 2.5, 5.0};

}  // namespace

double CFittingTicker::AxisPixels() const {
  const QCPAxisRect* rect = m_axis.axisRect();
  return m_axis.orientation() == Qt::Horizontal ? rect->width() : rect->height();
}

double CFittingTicker::LabelExtent(const QString& label) const {
  const QFontMetricsF metrics(m_axis.tickLabelFont());
  return m_axis.orientation() == Qt::Horizontal ? metrics.horizontalAdvance(label) : metrics.height();
}

double CFittingTicker::getTickStep(const QCPRange& range) {
  const double pixels = AxisPixels();
  const double size = range.size();
  if (!(size > 0.0) || !std::isfinite(size) || pixels < 1.0) return QCPAxisTicker::getTickStep(range);
  const double gap = m_axis.orientation() == Qt::Horizontal ? kAcrossGap : kAlongGap;
  const QLocale locale = m_axis.parentPlot()->locale();
  const QChar format = m_axis.numberFormat().isEmpty() ? QChar('g') : m_axis.numberFormat().at(0);
  // From a step of a pixel up: the first whose every label, with its gap, fits between two ticks.
  double magnitude = std::pow(10.0, std::floor(std::log10(size / pixels)));
  for (int decade = 0; decade < 30; ++decade, magnitude *= 10.0) {
    for (const double mantissa : kMantissas) {
      const double step = mantissa * magnitude;
      const double spacing = step / size * pixels;
      if (step > size) return step * 1.0001;  // no two ticks fit: at most one
      double widest = 0.0;
      const double first = std::ceil(range.lower / step);
      const double last = std::floor(range.upper / step);
      for (double k = first; k <= last && widest + gap <= spacing; ++k) {
        widest = std::max(widest, LabelExtent(getTickLabel(k * step, locale, format, m_axis.numberPrecision())));
      }
      if (widest + gap <= spacing) return step;
    }
  }
  return size;
}

QVector<QString> CFittingTicker::createLabelVector(const QVector<double>& ticks, const QLocale& locale,
                                                   QChar formatChar, int precision) {
  QVector<QString> labels = QCPAxisTicker::createLabelVector(ticks, locale, formatChar, precision);
  const QRect rect = m_axis.axisRect()->rect();
  const bool horizontal = m_axis.orientation() == Qt::Horizontal;
  const double low = horizontal ? rect.left() : rect.top();
  const double high = (horizontal ? rect.right() : rect.bottom()) + 1.0;
  for (qsizetype i = 0; i < labels.size(); ++i) {
    const double at = m_axis.coordToPixel(ticks[i]);
    const double half = LabelExtent(labels[i]) / 2.0;
    if (at - half < low || at + half > high) labels[i].clear();
  }
  return labels;
}
