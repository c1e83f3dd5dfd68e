#include "ui/plots/PlotsView.h"

#include <QBoxLayout>
#include <QColorDialog>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <qcustomplot.h>

#include "history/HistoryCsv.h"
#include "history/HistoryRecorder.h"
#include "support/DataRoot.h"
#include "support/Numbers.h"
#include "support/ProfileSection.h"
#include "support/Time.h"
#include "ui/MessageBoxes.h"
#include "ui/plots/FittingTicker.h"
#include "ui/plots/MarkThinning.h"
#include "ui/plots/ScaleSharing.h"
#include "ui/plots/SeriesQuantity.h"
#include "ui/plots/TrackPlot.h"

namespace {

constexpr const char* kLayoutEntry = "PlotLayout";
constexpr size_t kMaxMarkLines = 300;  // marks drawn in one view; more are left out
constexpr double kMarkNameGap = 2.0;   // pixels between two marks' names along the time axis
constexpr double kLaneSpan = 1.25;     // a band lane's share of the value axis, its on-height being 1
const QColor kSharedAxisColour(70, 70, 70);  // a scale that belongs to several curves

struct WindowChoice {
  const char* text;
  int seconds;
};
constexpr WindowChoice kWindows[] = {{"1 min", 60},    {"5 min", 300},    {"10 min", 600}, {"30 min", 1800},
                                     {"1 h", 3600},    {"2 h", 7200},     {"6 h", 21600},  {"12 h", 43200},
                                     {"24 h", 86400}};

QColor Colour(unsigned rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb & 0xFFFFFF)); }

// Time-axis labels as the time of day at which the history time falls.
class CTimeOfDayTicker : public QCPAxisTickerTime {
 public:
  explicit CTimeOfDayTicker(const CHistoryRecorder& history) : m_history(history) {}

 protected:
  QString getTickLabel(double tick, const QLocale&, QChar, int) override {
    const vorn::SystemTime time = vorn::SecondsToSystemTime(m_history.StartWallSeconds() + tick);
    return QString::asprintf("%02d:%02d:%02d", time.wHour, time.wMinute, time.wSecond);
  }

 private:
  const CHistoryRecorder& m_history;
};

// The file an export goes to, asked of the operator: "Plots_<now>.<extension>" in the output folder
// unless they choose another; empty when they cancel.
QString AskExportPath(QWidget* parent, const QString& caption, const QString& extension, const QString& filter) {
  const QString stamp = QString::fromStdString(vorn::FormatFileStamp(vorn::NowSeconds()));
  return QFileDialog::getSaveFileName(
      parent, caption, QString::fromStdString(vorn::OutputFilesFolder()) + "/Plots_" + stamp + "." + extension, filter);
}

}  // namespace

CPlotsView::CPlotsView(CHistoryRecorder& history, vorn::CProfileSection& profile, QWidget* parent)
    : QWidget(parent), m_history(history), m_profile(profile), m_layout(DefaultPlotLayout()) {
  setObjectName("plotsView");
  const std::string stored = m_profile.GetString(kLayoutEntry);
  if (!stored.empty()) PlotLayoutFromJson(stored, m_layout);
  m_span = m_layout.windowSeconds;
  CreateControls();
  Rebuild();
  m_history.SetOnSampled([this] { OnSampled(); });
}

CPlotsView::~CPlotsView() { m_history.SetOnSampled({}); }

void CPlotsView::CreateControls() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  auto* bar = new QHBoxLayout;
  layout->addLayout(bar);
  const auto button = [&](const char* caption, const char* name) {
    auto* made = new QPushButton(caption, this);
    made->setObjectName(name);
    made->setAutoDefault(false);
    bar->addWidget(made);
    return made;
  };

  bar->addWidget(new QLabel("Window:", this));
  m_windowBox = new QComboBox(this);
  m_windowBox->setObjectName("plotWindow");
  for (const WindowChoice& choice : kWindows) m_windowBox->addItem(choice.text, choice.seconds);
  bar->addWidget(m_windowBox);
  m_orientationBox = new QComboBox(this);
  m_orientationBox->setObjectName("plotOrientation");
  m_orientationBox->addItems({"Time down", "Time across"});
  bar->addWidget(m_orientationBox);
  m_pauseButton = button("Pause", "plotPause");
  m_liveButton = button("Live", "plotLive");
  m_addCurveButton = button("Add Curve", "plotAddCurve");
  m_addCurveMenu = new QMenu(this);
  m_addCurveButton->setMenu(m_addCurveMenu);
  connect(m_addCurveMenu, &QMenu::aboutToShow, this, [this] { FillSeriesMenu(*m_addCurveMenu, m_currentTrack); });
  QPushButton* addTrack = button("Add Track", "plotAddTrack");
  QPushButton* exportPng = button("Export PNG...", "plotExportPng");
  QPushButton* exportCsv = button("Export CSV...", "plotExportCsv");
  bar->addStretch(1);

  m_trackArea = new QWidget(this);
  m_trackArea->setObjectName("plotTracks");
  layout->addWidget(m_trackArea, 1);

  connect(m_windowBox, &QComboBox::activated, this,
          [this](int index) { SetWindowSeconds(m_windowBox->itemData(index).toInt()); });
  connect(m_orientationBox, &QComboBox::activated, this, [this](int index) { SetTimeDown(index == 0); });
  connect(m_pauseButton, &QPushButton::clicked, this, &CPlotsView::Pause);
  connect(m_liveButton, &QPushButton::clicked, this, &CPlotsView::GoLive);
  connect(addTrack, &QPushButton::clicked, this, &CPlotsView::AddTrack);
  connect(exportPng, &QPushButton::clicked, this, &CPlotsView::OnExportPng);
  connect(exportCsv, &QPushButton::clicked, this, &CPlotsView::OnExportCsv);
}

void CPlotsView::Rebuild() {
  for (Track& track : m_tracks) delete track.plot;
  m_tracks.clear();
  delete m_timeScale;
  delete m_trackArea->layout();
  QBoxLayout* box = m_layout.timeDown ? static_cast<QBoxLayout*>(new QHBoxLayout(m_trackArea))
                                      : static_cast<QBoxLayout*>(new QVBoxLayout(m_trackArea));
  box->setContentsMargins(0, 0, 0, 0);
  box->setSpacing(0);
  m_tracks.resize(m_layout.tracks.size());
  for (size_t i = 0; i < m_tracks.size(); ++i) {
    SetUpTrack(m_tracks[i], m_layout.tracks[i]);
    m_tracks[i].plot->setObjectName(QString("plotTrack%1").arg(i));
    box->addWidget(m_tracks[i].plot, 1);
  }
  // The time labels once, in a strip of their own before the tracks when time runs down and under
  // them when across, so that every track has the same room for its curves.
  SetUpTimeScale();
  box->insertWidget(m_layout.timeDown ? 0 : box->count(), m_timeScale, 0);
  m_currentTrack = std::clamp(m_currentTrack, 0, std::max(0, TrackCount() - 1));
  m_orientationBox->setCurrentIndex(m_layout.timeDown ? 0 : 1);
  const int windowIndex = m_windowBox->findData(m_layout.windowSeconds);
  if (windowIndex >= 0) m_windowBox->setCurrentIndex(windowIndex);
  ShowLiveState();
  Refresh();
}

void CPlotsView::SetUpTimeScale() {
  const bool down = m_layout.timeDown;
  m_timeScale = new CTrackPlot(m_trackArea);
  m_timeScale->setObjectName("plotTimeScale");
  QCPAxis* time = down ? m_timeScale->yAxis : m_timeScale->xAxis;
  for (QCPAxis* axis : m_timeScale->axisRect()->axes()) axis->setVisible(axis == time);
  time->setRangeReversed(down);
  time->setTicker(QSharedPointer<QCPAxisTicker>(new CTimeOfDayTicker(m_history)));
  time->grid()->setVisible(false);
  QFont small = font();
  small.setPointSizeF(std::max(6.0, small.pointSizeF() - 1.0));
  time->setTickLabelFont(small);
  // Room for half a label beyond each end of the axis, which every track's time axis then keeps too.
  const QFontMetrics metrics(small);
  const int half = (down ? metrics.height() : metrics.horizontalAdvance("00:00:00")) / 2 + 1;
  m_timeScale->axisRect()->setMinimumMargins(down ? QMargins(0, half, 0, half) : QMargins(half, 0, half, 0));
  // As wide (or high) as its labels; AlignTimeAxes sets it to what they take.
  if (down) {
    m_timeScale->setFixedWidth(60);
  } else {
    m_timeScale->setFixedHeight(24);
  }
}

void CPlotsView::SetUpTrack(Track& track, const PlotTrack& layout) {
  auto* plot = new CTrackPlot(m_trackArea);
  track.plot = plot;
  plot->installEventFilter(this);
  plot->setNoAntialiasingOnDrag(true);
  plot->setPlottingHint(QCP::phFastPolylines, true);
  // Curves, fills and grids drawn without antialiasing: at two points a pixel it shows no steps, and
  // antialiased strokes cost most of a refresh.
  plot->setNotAntialiasedElements(QCP::aePlottables | QCP::aeFills | QCP::aeGrid | QCP::aeSubGrid | QCP::aeItems);
  QFont small = font();
  small.setPointSizeF(std::max(6.0, small.pointSizeF() - 1.0));
  const bool down = m_layout.timeDown;

  plot->axisRect()->setMinimumMargins(QMargins());  // the room goes to the curves
  track.timeAxis = down ? plot->yAxis : plot->xAxis;
  QCPAxis* firstValue = down ? plot->xAxis2 : plot->yAxis;
  QCPAxis* unusedTime = down ? plot->yAxis2 : plot->xAxis2;
  QCPAxis* unusedValue = down ? plot->xAxis : plot->yAxis2;
  unusedTime->setVisible(false);
  unusedValue->setVisible(false);
  track.timeAxis->setRangeReversed(down);  // newest at the bottom
  track.timeAxis->setTicker(QSharedPointer<QCPAxisTicker>(new CTimeOfDayTicker(m_history)));
  track.timeAxis->setTickLabels(false);
  track.timeAxis->setPadding(0);
  // Solid light grid lines: dotted ones take the slow way through the rasteriser.
  for (QCPAxis* axis : {plot->xAxis, plot->yAxis, plot->xAxis2, plot->yAxis2}) {
    axis->grid()->setPen(QPen(QColor(225, 225, 225), 0));
  }

  // The legend's entries one under the other in a narrow track, side by side in a low one.
  plot->legend->setFillOrder(down ? QCPLayoutGrid::foRowsFirst : QCPLayoutGrid::foColumnsFirst);
  plot->legend->setWrap(0);

  track.scaleLeaders = ScaleLeaders(layout);
  track.valueAxes.assign(layout.curves.size(), nullptr);
  for (size_t c = 0; c < layout.curves.size(); ++c) {
    const PlotCurve& curve = layout.curves[c];
    const size_t leader = track.scaleLeaders[c];
    QCPAxis* axis = track.valueAxes[leader];
    if (axis == nullptr) {
      axis = c == 0 ? firstValue : plot->axisRect()->addAxis(down ? QCPAxis::atTop : QCPAxis::atLeft);
      const bool shared = std::count(track.scaleLeaders.begin(), track.scaleLeaders.end(), c) > 1;
      const QColor colour = shared ? kSharedAxisColour : Colour(curve.rgb);
      axis->setVisible(!layout.bands);
      axis->setTickLabelFont(small);
      axis->setBasePen(QPen(colour));
      axis->setTickPen(QPen(colour));
      axis->setSubTickPen(QPen(colour));
      axis->setTickLabelColor(colour);
      axis->grid()->setVisible(c == 0 && !layout.bands);
      axis->setTicker(QSharedPointer<QCPAxisTicker>(new CFittingTicker(*axis)));
      // Deeper is lower, as on a well log.
      axis->setRangeReversed(!down && SeriesQuantity(curve.series) == Quantity::Depth);
    }
    QCPGraph* graph = plot->addGraph(track.timeAxis, axis);  // keys are times, on either orientation
    graph->setPen(QPen(Colour(curve.rgb), 0));  // cosmetic: one pixel, the fast way to stroke
    graph->setAdaptiveSampling(true);
    if (layout.bands) {
      QColor fill = Colour(curve.rgb);
      fill.setAlpha(110);
      graph->setBrush(fill);
      graph->setLineStyle(QCPGraph::lsStepLeft);
      // Lane c of n: 0 at its base, 1 fills it.
      const auto n = static_cast<double>(layout.curves.size());
      const double lower = -kLaneSpan * static_cast<double>(c) - 0.1;
      axis->setRange(lower, lower + kLaneSpan * n);
    } else if (!curve.autoScale) {
      axis->setRange(curve.min, curve.max);
    }
    track.valueAxes[c] = axis;
    track.graphs.push_back(graph);
  }
  if (layout.curves.empty()) {
    firstValue->setVisible(true);
    firstValue->setTicker(QSharedPointer<QCPAxisTicker>(new CFittingTicker(*firstValue)));
  }

  plot->legend->setVisible(true);
  plot->legend->setFont(small);
  plot->legend->setBrush(QColor(255, 255, 255));
  // Small icons and margins, so that every entry's name and value fit the track at the window's
  // smallest usual size.
  plot->legend->setIconSize(10, 8);
  plot->legend->setIconTextPadding(3);
  plot->legend->setMargins(QMargins(3, 2, 3, 2));
  plot->axisRect()->insetLayout()->setMargins(QMargins(3, 3, 3, 3));
  plot->legend->setRowSpacing(1);
  plot->legend->setColumnSpacing(10);
  plot->axisRect()->insetLayout()->setInsetAlignment(0, down ? (Qt::AlignBottom | Qt::AlignLeft)
                                                              : (Qt::AlignTop | Qt::AlignLeft));

  plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
  plot->axisRect()->setRangeDrag(down ? Qt::Vertical : Qt::Horizontal);
  plot->axisRect()->setRangeZoom(down ? Qt::Vertical : Qt::Horizontal);
  plot->axisRect()->setRangeDragAxes(down ? nullptr : track.timeAxis, down ? track.timeAxis : nullptr);
  plot->axisRect()->setRangeZoomAxes(down ? nullptr : track.timeAxis, down ? track.timeAxis : nullptr);
  const int index = static_cast<int>(&track - m_tracks.data());
  connect(track.timeAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
          [this, index](const QCPRange& range) { OnTimeRangeChanged(index, range.lower, range.upper); });
  plot->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(plot, &QWidget::customContextMenuRequested, this,
          [this, index](const QPoint& where) { ShowTrackMenu(index, where); });
}

double CPlotsView::ViewEnd() const {
  if (!m_live) return m_end;
  return m_history.Store().Latest();
}

void CPlotsView::Refresh() {
  const double to = ViewEnd();
  m_drawnEnd = to;
  const double from = to - m_span;
  m_drawing = true;
  for (size_t i = 0; i < m_tracks.size(); ++i) DrawTrack(m_tracks[i], m_layout.tracks[i], from, to);
  (m_layout.timeDown ? m_timeScale->yAxis : m_timeScale->xAxis)->setRange(from, to);
  AlignTimeAxes();
  for (size_t i = 0; i < m_tracks.size(); ++i) {
    // The marks' names beside the time labels: on the first track, or on the last.
    DrawMarks(m_tracks[i], m_layout.timeDown ? i == 0 : i + 1 == m_tracks.size(), from, to);
    m_tracks[i].plot->replot();
  }
  m_timeScale->replot();
  m_drawing = false;
}

void CPlotsView::AlignTimeAxes() {
  const bool down = m_layout.timeDown;
  const QCP::MarginSides aligned = down ? (QCP::msTop | QCP::msBottom) : (QCP::msLeft | QCP::msRight);
  std::vector<CTrackPlot*> plots;
  for (Track& track : m_tracks) plots.push_back(track.plot);
  plots.push_back(m_timeScale);
  int before = 0;
  int after = 0;
  for (CTrackPlot* plot : plots) {
    QCPAxisRect* rect = plot->axisRect();
    rect->setAutoMargins(QCP::msAll);
    // A track laid out at a new size chooses its ticks again for that size, and so its margins.
    const QSize size = rect->rect().size();
    plot->LayOut();
    if (rect->rect().size() != size) plot->LayOut();
    const QMargins margins = rect->margins();
    before = std::max(before, down ? margins.top() : margins.left());
    after = std::max(after, down ? margins.bottom() : margins.right());
  }
  // The strip of time labels as wide (or high) as they are, with a pixel for its axis rectangle.
  const QMargins labels = m_timeScale->axisRect()->margins();
  if (down) {
    m_timeScale->setFixedWidth(labels.left() + labels.right() + 1);
  } else {
    m_timeScale->setFixedHeight(labels.top() + labels.bottom() + 1);
  }
  for (CTrackPlot* plot : plots) {
    QCPAxisRect* rect = plot->axisRect();
    QMargins margins = rect->margins();
    if (down) {
      margins.setTop(before);
      margins.setBottom(after);
    } else {
      margins.setLeft(before);
      margins.setRight(after);
    }
    rect->setAutoMargins(QCP::msAll & ~aligned);
    rect->setMargins(margins);
  }
}

void CPlotsView::DrawTrack(Track& track, const PlotTrack& layout, double from, double to) {
  const CHistoryStore& store = m_history.Store();
  const bool down = m_layout.timeDown;
  const QRect area = track.plot->axisRect()->rect();
  const int pixels = std::max(200, down ? area.height() : area.width());  // at least, before it is laid out
  track.timeAxis->setRange(from, to);
  std::vector<CHistoryStore::Point> points;
  // Per scale, the least and greatest value its curves show.
  struct Span {
    double lower = HUGE_VAL;
    double upper = -HUGE_VAL;
  };
  std::vector<Span> spans(layout.curves.size());
  for (size_t c = 0; c < layout.curves.size() && c < track.graphs.size(); ++c) {
    const PlotCurve& curve = layout.curves[c];
    QCPGraph* graph = track.graphs[c];
    const int series = store.FindSeries(curve.series);
    points.clear();
    double last = std::nan("");
    if (series >= 0) {
      const auto s = static_cast<size_t>(series);
      store.Envelope(s, from, to, pixels, points);
      last = store.LastValue(s);
      // The envelope keeps every minimum and maximum: the scale comes from it.
      Span& span = spans[track.scaleLeaders[c]];
      for (const auto& p : points) {
        span.lower = std::min(span.lower, p.value);
        span.upper = std::max(span.upper, p.value);
      }
    }
    // A band ends where its series ends: the step to the newest value reaches the view's end.
    QSharedPointer<QCPGraphDataContainer> data = graph->data();
    QVector<QCPGraphData> values;
    values.reserve(static_cast<int>(points.size()) + 1);
    for (const auto& p : points) values.append(QCPGraphData(p.t, p.value));
    if (layout.bands && !points.empty() && points.back().t < to) values.append(QCPGraphData(to, points.back().value));
    data->set(values, true);
    graph->setName(LegendText(track, layout, c, last));
  }
  for (size_t c = 0; c < layout.curves.size() && c < track.valueAxes.size(); ++c) {
    const double min = spans[c].lower;
    const double max = spans[c].upper;
    if (!layout.curves[c].autoScale || layout.bands || !(min <= max)) continue;
    const double pad = max > min ? (max - min) * 0.05 : std::max(1.0, std::abs(max) * 0.05);
    track.valueAxes[c]->setRange(min - pad, max + pad);
  }
}

// The name and the current value; a curve on the scale of another says whose. Two lines where the
// tracks stand side by side and are narrow, one where they lie one under the other.
QString CPlotsView::LegendText(const Track& track, const PlotTrack& layout, size_t curve, double value) const {
  const std::string& series = layout.curves[curve].series;
  const QString separator = m_layout.timeDown ? "\n" : "  ";
  QString text = QString::fromStdString(series) + separator +
                 QString::fromStdString(SeriesValueText(SeriesQuantity(series), value));
  const size_t leader = track.scaleLeaders[curve];
  if (leader != curve) {
    text += separator + "(scale of " + QString::fromStdString(layout.curves[leader].series) + ")";
  }
  return text;
}

void CPlotsView::DrawMarks(Track& track, bool withText, double from, double to) {
  const auto& marks = m_history.Store().Marks();
  auto first = std::lower_bound(marks.begin(), marks.end(), from,
                                [](const CHistoryStore::Mark& m, double t) { return m.t < t; });
  std::vector<const CHistoryStore::Mark*> visible;
  for (auto it = first; it != marks.end() && it->t <= to && visible.size() < kMaxMarkLines; ++it) {
    visible.push_back(&*it);
  }
  QCustomPlot& plot = *track.plot;
  const bool down = m_layout.timeDown;
  QCPAxis* valueAxis = down ? plot.xAxis2 : plot.yAxis;
  while (track.markLines.size() < visible.size()) {
    auto* line = new QCPItemStraightLine(&plot);
    line->setPen(QPen(QColor(120, 120, 120), 1, Qt::DashLine));
    line->point1->setAxes(down ? valueAxis : track.timeAxis, down ? track.timeAxis : valueAxis);
    line->point2->setAxes(down ? valueAxis : track.timeAxis, down ? track.timeAxis : valueAxis);
    line->setSelectable(false);
    track.markLines.push_back(line);
  }
  // Names only where they keep clear of one another along the time axis, the newest first; the
  // margins before and after the time axis are set by now, so its length is known.
  QFont small = font();
  small.setPointSizeF(std::max(6.0, small.pointSizeF() - 1.5));
  std::vector<size_t> named;
  if (withText && !visible.empty()) {
    // The track is as long as the area of all tracks along the time axis, even before it is laid out.
    const QSize area = m_trackArea->size();
    const QMargins margins = plot.axisRect()->margins();
    const double length = down ? area.height() - margins.top() - margins.bottom()
                               : area.width() - margins.left() - margins.right();
    const double perSecond = std::max(0.0, length) / std::max(1e-9, to - from);
    std::vector<double> pixels;
    std::vector<bool> modes;
    pixels.reserve(visible.size());
    modes.reserve(visible.size());
    for (const auto* mark : visible) {
      pixels.push_back(mark->t * perSecond);
      modes.push_back(mark->mode);
    }
    const std::vector<bool> shown = MarkNamesShown(pixels, modes, QFontMetricsF(small).height() + kMarkNameGap);
    for (size_t i = 0; i < shown.size(); ++i) {
      if (shown[i]) named.push_back(i);
    }
  }
  while (track.markTexts.size() < named.size()) {
    auto* text = new QCPItemText(&plot);
    text->setColor(QColor(80, 80, 80));
    text->setFont(small);
    text->position->setAxes(down ? valueAxis : track.timeAxis, down ? track.timeAxis : valueAxis);
    text->position->setTypeX(down ? QCPItemPosition::ptAxisRectRatio : QCPItemPosition::ptPlotCoords);
    text->position->setTypeY(down ? QCPItemPosition::ptPlotCoords : QCPItemPosition::ptAxisRectRatio);
    text->setPositionAlignment(down ? (Qt::AlignLeft | Qt::AlignBottom) : (Qt::AlignLeft | Qt::AlignTop));
    if (!down) text->setRotation(90);
    text->setSelectable(false);
    track.markTexts.push_back(text);
  }
  for (size_t i = 0; i < track.markLines.size(); ++i) {
    QCPItemStraightLine* line = track.markLines[i];
    line->setVisible(i < visible.size());
    if (i >= visible.size()) continue;
    const double t = visible[i]->t;
    line->point1->setCoords(down ? 0.0 : t, down ? t : 0.0);
    line->point2->setCoords(down ? 1.0 : t, down ? t : 1.0);
  }
  for (size_t i = 0; i < track.markTexts.size(); ++i) {
    QCPItemText* text = track.markTexts[i];
    text->setVisible(i < named.size());
    if (!text->visible()) continue;
    const CHistoryStore::Mark& mark = *visible[named[i]];
    text->position->setCoords(down ? 0.02 : mark.t, down ? mark.t : 0.02);
    text->setText(QString::fromStdString(mark.text));
  }
}

QCustomPlot& CPlotsView::TrackPlot(int track) const { return *m_tracks[static_cast<size_t>(track)].plot; }

QCPGraph& CPlotsView::CurveGraph(int track, int curve) const {
  return *m_tracks[static_cast<size_t>(track)].graphs[static_cast<size_t>(curve)];
}

// After every tick while live and shown: drawn again once the present has moved by a pixel of the
// time axis (the legends' current values at least once a second, at most every tick), as a long span
// shows nothing new at every tick.
void CPlotsView::OnSampled() {
  if (!m_live || !isVisible() || m_tracks.empty()) return;
  const QRect area = m_tracks.front().plot->axisRect()->rect();
  const int pixels = std::max(1, m_layout.timeDown ? area.height() : area.width());
  const double interval = std::clamp(m_span / pixels, 0.1, 1.0);
  const double latest = m_history.Store().Latest();
  if (latest >= m_drawnEnd && latest - m_drawnEnd < interval - 1e-6) return;
  Refresh();
}

void CPlotsView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Refresh();
}

// The operator dragged or zoomed a track's time axis: every track follows. A drag scrolls back and
// pauses; a zoom changes the span (and keeps the view live when it was).
void CPlotsView::OnTimeRangeChanged(int track, double lower, double upper) {
  if (m_drawing) return;
  const double span = std::clamp(upper - lower, double{PlotLayout::kMinWindow}, double{PlotLayout::kMaxWindow});
  const bool zoomed = std::abs(span - m_span) > 1e-6 * m_span;
  if (zoomed) {
    m_span = span;
    if (!m_live) m_end = lower + span;
  } else {
    m_live = false;
    m_end = std::min(upper, m_history.Store().Latest());
  }
  (void)track;
  ShowLiveState();
  Refresh();
}

void CPlotsView::Pause() {
  if (!m_live) return;
  m_end = ViewEnd();
  m_live = false;
  ShowLiveState();
}

void CPlotsView::GoLive() {
  m_live = true;
  ShowLiveState();
  Refresh();
}

void CPlotsView::ScrollTo(double end) {
  m_live = false;
  m_end = end;
  ShowLiveState();
  Refresh();
}

void CPlotsView::ShowLiveState() {
  m_pauseButton->setEnabled(m_live);
  m_liveButton->setEnabled(!m_live);
}

void CPlotsView::SetLayout(const PlotLayout& layout) {
  m_layout = layout;
  m_layout.windowSeconds = std::clamp(m_layout.windowSeconds, PlotLayout::kMinWindow, PlotLayout::kMaxWindow);
  m_span = m_layout.windowSeconds;
  SaveLayout();
  Rebuild();
}

void CPlotsView::SaveLayout() {
  if (m_layout == DefaultPlotLayout()) {
    m_profile.RemoveEntry(kLayoutEntry);
  } else {
    m_profile.WriteString(kLayoutEntry, PlotLayoutToJson(m_layout));
  }
}

void CPlotsView::AddTrack() {
  PlotLayout layout = m_layout;
  layout.tracks.emplace_back();
  m_currentTrack = static_cast<int>(layout.tracks.size()) - 1;
  SetLayout(layout);
}

void CPlotsView::RemoveTrack(int track) {
  if (track < 0 || track >= TrackCount()) return;
  PlotLayout layout = m_layout;
  layout.tracks.erase(layout.tracks.begin() + track);
  SetLayout(layout);
}

void CPlotsView::AddCurve(int track, const std::string& series) {
  PlotLayout layout = m_layout;
  if (layout.tracks.empty()) layout.tracks.emplace_back();
  track = std::clamp(track, 0, static_cast<int>(layout.tracks.size()) - 1);
  PlotTrack& target = layout.tracks[static_cast<size_t>(track)];
  PlotCurve curve;
  curve.series = series;
  curve.rgb = CurveColour(target.curves.size());
  if (target.bands) {
    curve.autoScale = false;
    curve.max = 1.0;
  }
  target.curves.push_back(curve);
  m_currentTrack = track;
  SetLayout(layout);
}

void CPlotsView::RemoveCurve(int track, int curve) {
  if (track < 0 || track >= TrackCount()) return;
  PlotLayout layout = m_layout;
  auto& curves = layout.tracks[static_cast<size_t>(track)].curves;
  if (curve < 0 || curve >= static_cast<int>(curves.size())) return;
  curves.erase(curves.begin() + curve);
  SetLayout(layout);
}

void CPlotsView::SetCurveColour(int track, int curve, unsigned rgb) {
  if (track < 0 || track >= TrackCount()) return;
  PlotLayout layout = m_layout;
  auto& curves = layout.tracks[static_cast<size_t>(track)].curves;
  if (curve < 0 || curve >= static_cast<int>(curves.size())) return;
  curves[static_cast<size_t>(curve)].rgb = rgb & 0xFFFFFF;
  SetLayout(layout);
}

void CPlotsView::SetCurveScale(int track, int curve, bool autoScale, double min, double max) {
  if (track < 0 || track >= TrackCount()) return;
  if (!autoScale && !(std::isfinite(min) && std::isfinite(max) && min < max)) return;
  PlotLayout layout = m_layout;
  auto& curves = layout.tracks[static_cast<size_t>(track)].curves;
  if (curve < 0 || curve >= static_cast<int>(curves.size())) return;
  const std::vector<size_t> leaders = ScaleLeaders(layout.tracks[static_cast<size_t>(track)]);
  const size_t leader = leaders[static_cast<size_t>(curve)];
  for (size_t i = 0; i < curves.size(); ++i) {
    if (leaders[i] != leader) continue;
    curves[i].autoScale = autoScale;
    if (!autoScale) {
      curves[i].min = min;
      curves[i].max = max;
    }
  }
  SetLayout(layout);
}

void CPlotsView::SetCurveOwnScale(int track, int curve, bool own) {
  if (track < 0 || track >= TrackCount()) return;
  PlotLayout layout = m_layout;
  auto& curves = layout.tracks[static_cast<size_t>(track)].curves;
  if (curve < 0 || curve >= static_cast<int>(curves.size())) return;
  curves[static_cast<size_t>(curve)].ownScale = own;
  SetLayout(layout);
}

void CPlotsView::SetTimeDown(bool down) {
  if (down == m_layout.timeDown) return;
  PlotLayout layout = m_layout;
  layout.timeDown = down;
  SetLayout(layout);
}

void CPlotsView::SetWindowSeconds(int seconds) {
  PlotLayout layout = m_layout;
  layout.windowSeconds = seconds;
  const bool live = m_live;
  SetLayout(layout);
  m_live = live;
  ShowLiveState();
}

bool CPlotsView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    for (size_t i = 0; i < m_tracks.size(); ++i) {
      if (m_tracks[i].plot == watched) m_currentTrack = static_cast<int>(i);
    }
  }
  // A track of a new size draws itself at once with its old ticks and margins; the view then chooses
  // them again for every track.
  if (event->type() == QEvent::Resize) QueueRefresh();
  return QWidget::eventFilter(watched, event);
}

void CPlotsView::QueueRefresh() {
  if (m_refreshQueued) return;
  m_refreshQueued = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        m_refreshQueued = false;
        if (isVisible()) Refresh();
      },
      Qt::QueuedConnection);
}

void CPlotsView::FillSeriesMenu(QMenu& menu, int track) {
  menu.clear();
  const CHistoryStore& store = m_history.Store();
  QMenu* channels = menu.addMenu("Channels");
  QMenu* items = menu.addMenu("Output Items");
  QMenu* received = menu.addMenu("Received Items");
  for (size_t s = 0; s < store.SeriesCount(); ++s) {
    const std::string& name = store.SeriesName(s);
    QMenu* group = name.rfind("Item ", 0) == 0 ? items : name.rfind("WITS ", 0) == 0 ? received : channels;
    group->addAction(QString::fromStdString(name), this, [this, track, name] { AddCurve(track, name); });
  }
  for (QMenu* group : {channels, items, received}) group->setEnabled(!group->isEmpty());
}

void CPlotsView::ShowTrackMenu(int track, const QPoint& where) {
  if (track < 0 || track >= TrackCount()) return;
  m_currentTrack = track;
  QMenu menu(this);
  QMenu* add = menu.addMenu("Add Curve");
  FillSeriesMenu(*add, track);
  const PlotTrack& layout = m_layout.tracks[static_cast<size_t>(track)];
  for (size_t c = 0; c < layout.curves.size(); ++c) {
    const PlotCurve& curve = layout.curves[c];
    const int index = static_cast<int>(c);
    QMenu* sub = menu.addMenu(QString::fromStdString(curve.series));
    sub->addAction("Colour...", this, [this, track, index, curve] {
      const QColor chosen = QColorDialog::getColor(Colour(curve.rgb), this, "Curve Colour");
      if (chosen.isValid()) SetCurveColour(track, index, chosen.rgb() & 0xFFFFFF);
    });
    if (!layout.bands) {
      QAction* automatic = sub->addAction("Automatic Scale", this, [this, track, index] {
        SetCurveScale(track, index, true);
      });
      automatic->setCheckable(true);
      automatic->setChecked(curve.autoScale);
      sub->addAction("Fixed Scale...", this, [this, track, index] { AskFixedScale(track, index); });
      // Only a curve beside another of its quantity has a scale to share.
      const Quantity quantity = SeriesQuantity(curve.series);
      const bool another = quantity != Quantity::Unknown &&
                           std::count_if(layout.curves.begin(), layout.curves.end(), [&](const PlotCurve& other) {
                             return SeriesQuantity(other.series) == quantity;
                           }) > 1;
      if (another) {
        QAction* own = sub->addAction("Own Scale", this, [this, track, index, curve] {
          SetCurveOwnScale(track, index, !curve.ownScale);
        });
        own->setCheckable(true);
        own->setChecked(curve.ownScale);
      }
    }
    sub->addAction("Remove", this, [this, track, index] { RemoveCurve(track, index); });
  }
  menu.addSeparator();
  menu.addAction("Remove Track", this, [this, track] { RemoveTrack(track); });
  menu.exec(m_tracks[static_cast<size_t>(track)].plot->mapToGlobal(where));
}

void CPlotsView::AskFixedScale(int track, int curve) {
  const PlotCurve& c = m_layout.tracks[static_cast<size_t>(track)].curves[static_cast<size_t>(curve)];
  const QCPRange shown = m_tracks[static_cast<size_t>(track)].valueAxes[static_cast<size_t>(curve)]->range();
  bool ok = false;
  const double min = QInputDialog::getDouble(this, "Fixed Scale", QString::fromStdString(c.series) + " from:",
                                             c.autoScale ? shown.lower : c.min, -1e12, 1e12, 2, &ok);
  if (!ok) return;
  const double max = QInputDialog::getDouble(this, "Fixed Scale", QString::fromStdString(c.series) + " to:",
                                             c.autoScale ? shown.upper : c.max, -1e12, 1e12, 2, &ok);
  if (!ok) return;
  if (!(min < max)) {
    ShowMessage(this, "The scale must end above where it begins.");
    return;
  }
  SetCurveScale(track, curve, false, min, max);
}

bool CPlotsView::ExportPng(const QString& path) { return m_trackArea->grab().save(path, "PNG"); }

bool CPlotsView::ExportCsv(const QString& path) {
  const CHistoryStore& store = m_history.Store();
  std::vector<size_t> series;
  for (const PlotTrack& track : m_layout.tracks) {
    for (const PlotCurve& curve : track.curves) {
      const int index = store.FindSeries(curve.series);
      if (index >= 0 && std::find(series.begin(), series.end(), static_cast<size_t>(index)) == series.end()) {
        series.push_back(static_cast<size_t>(index));
      }
    }
  }
  const double to = ViewEnd();
  const std::string text = HistoryCsv(store, series, to - m_span, to, m_history.StartWallSeconds());
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
}

void CPlotsView::OnExportPng() {
  const QString path = AskExportPath(this, "Export Plots", "png", "PNG images (*.png)");
  if (!path.isEmpty() && !ExportPng(path)) ShowMessage(this, "Unable to write " + path);
}

void CPlotsView::OnExportCsv() {
  const QString path = AskExportPath(this, "Export Plotted Data", "csv", "CSV files (*.csv)");
  if (!path.isEmpty() && !ExportCsv(path)) ShowMessage(this, "Unable to write " + path);
}
