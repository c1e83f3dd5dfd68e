#pragma once

#include <QString>
#include <QWidget>
#include <string>
#include <vector>

#include "ui/plots/PlotLayout.h"

class CHistoryRecorder;
class CTrackPlot;
class QComboBox;
class QCPAxis;
class QCPGraph;
class QCPItemStraightLine;
class QCPItemText;
class QCustomPlot;
class QMenu;
class QPushButton;

namespace vorn {
class CProfileSection;
}

// The "Plots" tab: strip-chart tracks side by side with one time axis (down or across), drawn from the
// run's history. The view follows the present unless paused; dragging along the time axis scrolls
// back (and pauses), the wheel zooms the time span, "Live" returns to the present. Each mode and
// sub-state change is marked across the tracks. The layout is kept in the profile ("PlotLayout",
// written only when it differs from the default).
class CPlotsView : public QWidget {
  Q_OBJECT

 public:
  CPlotsView(CHistoryRecorder& history, vorn::CProfileSection& profile, QWidget* parent = nullptr);
  ~CPlotsView() override;
  CPlotsView(const CPlotsView&) = delete;
  CPlotsView& operator=(const CPlotsView&) = delete;

  [[nodiscard]] const PlotLayout& Layout() const { return m_layout; }
  // A new layout, drawn and kept in the profile.
  void SetLayout(const PlotLayout& layout);
  void AddTrack();
  void RemoveTrack(int track);
  void AddCurve(int track, const std::string& series);
  void RemoveCurve(int track, int curve);
  void SetCurveColour(int track, int curve, unsigned rgb);
  // Automatic scale, or fixed at min..max (min below max), for the curve and every curve that shares
  // its scale.
  void SetCurveScale(int track, int curve, bool autoScale, double min = 0.0, double max = 100.0);
  // A scale of the curve's own, or shared with the curves of its quantity in the track.
  void SetCurveOwnScale(int track, int curve, bool own);
  void SetTimeDown(bool down);
  // The span shown, 60 s to 24 h.
  void SetWindowSeconds(int seconds);

  [[nodiscard]] bool IsLive() const { return m_live; }
  // Paused, the view stays where it is while the history goes on.
  void Pause();
  // Back to the present.
  void GoLive();
  // Shows [end - span, end] of the history, paused.
  void ScrollTo(double end);
  // The span shown and its end, in seconds of the history.
  [[nodiscard]] double ViewEnd() const;
  [[nodiscard]] double ViewSpan() const { return m_span; }

  // Redraws from the history now. While live and shown it also happens after the ticks that move the
  // present by a pixel of the time axis, and at least once a second.
  void Refresh();

  // The visible tracks as a picture; the visible span of every curve's series as CSV.
  bool ExportPng(const QString& path);
  bool ExportCsv(const QString& path);

  [[nodiscard]] int TrackCount() const { return static_cast<int>(m_tracks.size()); }
  [[nodiscard]] QCustomPlot& TrackPlot(int track) const;
  [[nodiscard]] QCPGraph& CurveGraph(int track, int curve) const;
  // The track "Add Curve" adds to: the one last clicked.
  [[nodiscard]] int CurrentTrack() const { return m_currentTrack; }

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Track {
    CTrackPlot* plot = nullptr;
    QCPAxis* timeAxis = nullptr;
    std::vector<size_t> scaleLeaders;  // per curve, the curve whose scale it is drawn on
    std::vector<QCPAxis*> valueAxes;   // per curve, the axis of its scale
    std::vector<QCPGraph*> graphs;
    std::vector<QCPItemStraightLine*> markLines;
    std::vector<QCPItemText*> markTexts;
  };

  void CreateControls();
  void Rebuild();
  void SetUpTrack(Track& track, const PlotTrack& layout);
  void SetUpTimeScale();
  void DrawTrack(Track& track, const PlotTrack& layout, double from, double to);
  void DrawMarks(Track& track, bool withText, double from, double to);
  // Every track's time axis from the same pixel to the same pixel: the margins before and after it
  // set alike, to the widest any track needs.
  void AlignTimeAxes();
  [[nodiscard]] QString LegendText(const Track& track, const PlotTrack& layout, size_t curve, double value) const;
  void QueueRefresh();
  void SaveLayout();
  void OnSampled();
  void OnTimeRangeChanged(int track, double lower, double upper);
  void ShowLiveState();
  void FillSeriesMenu(QMenu& menu, int track);
  void ShowTrackMenu(int track, const QPoint& where);
  void AskFixedScale(int track, int curve);
  void OnExportPng();
  void OnExportCsv();

  CHistoryRecorder& m_history;
  vorn::CProfileSection& m_profile;
  PlotLayout m_layout;
  bool m_live = true;
  double m_end = 0.0;      // the view's end while paused
  double m_span = 3600.0;  // seconds shown
  double m_drawnEnd = 0.0; // the end of the view last drawn
  int m_currentTrack = 0;
  bool m_drawing = false;  // ranges set by the view itself, not by the operator
  bool m_refreshQueued = false;

  QComboBox* m_windowBox = nullptr;
  QComboBox* m_orientationBox = nullptr;
  QPushButton* m_pauseButton = nullptr;
  QPushButton* m_liveButton = nullptr;
  QPushButton* m_addCurveButton = nullptr;
  QMenu* m_addCurveMenu = nullptr;
  QWidget* m_trackArea = nullptr;
  std::vector<Track> m_tracks;
  CTrackPlot* m_timeScale = nullptr;  // the time labels of every track
  std::vector<double> m_keys;  // scratch for the curves' points
};
