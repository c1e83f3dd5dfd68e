#pragma once

#include <QWidget>
#include <functional>
#include <span>

#include "grid/GridCtrl.h"
#include "grid/GridNotify.h"

class CRigController;
class CRigSim;
struct CommandResult;

// The four grids of the main window and what fills them from the engine: the sub-states of the mode,
// the channels, the editable list of output items, and the WITS items received. An edit in the output
// grid hands the item list it reads back to the controller, which keeps the run-time state of the
// items it did not change and saves the settings file.
class CMainWindowGrids : public CGridOwnerIF {
 public:
  // The grids are made as children of parent; dpiY scales their row heights and column widths.
  CMainWindowGrids(CRigController& controller, QWidget* parent, int dpiY);
  ~CMainWindowGrids() override;
  CMainWindowGrids(const CMainWindowGrids&) = delete;
  CMainWindowGrids& operator=(const CMainWindowGrids&) = delete;

  // The output grid's columns; the first, the read-only flag, is hidden.
  enum OutputColumn {
    ColReadOnly, ColEnable, ColValue, ColMnem, ColSample, ColType, ColA, ColB, ColC, ColD, ColRotation,
    ColFlow, ColRecord, ColChannel, kOutputColumnCount
  };

  [[nodiscard]] CGridCtrl& StateGrid() { return *m_stateGrid; }
  [[nodiscard]] CGridCtrl& ChannelGrid() { return *m_channelGrid; }
  [[nodiscard]] CGridCtrl& OutputGrid() { return *m_outputGrid; }
  [[nodiscard]] CGridCtrl& WitsInGrid() { return *m_witsInGrid; }

  void BuildStateGrid();
  void HighlightStateRow();
  void BuildChannelGrid();
  void RefreshChannelGrid();
  void BuildOutputGrid();
  void RefreshOutputValues();
  void ReadOutputGrid();
  void BuildWitsInGrid();
  void RefreshWitsInGrid();
  // The item list changed: the output grid anew with its values, unless the change is the grid's own
  // read-back, which the grid already shows.
  void ShowChangedItems();

  // The output-item commands: "+" appends a constant item; "-" removes the items with a selected cell
  // that are not read-only; the defaults replace the list. The controller saves the settings file when
  // the list changed, and the grid shows it when the controller tells the window.
  void AddItem();
  void RemoveSelectedItems();
  void LoadDefaultItems();

  int OnGridNotify(CGridCtrl& grid, int code, int row, int column) override;

  // Told when the channel or state grid came to need another width for its columns, so that the
  // window can give it room.
  void SetColumnsResized(std::function<void()> resized) { m_columnsResized = std::move(resized); }
  // The width that the channel or state grid needs to show all its columns without scrolling across.
  [[nodiscard]] static int WidthForColumns(const CGridCtrl& grid);

 private:
  struct Column {
    const char* header;
    int width;  // pixels at 96 dpi
  };
  using Columns = std::span<const Column>;
  static const Column kStateColumns[1];
  static const Column kChannelColumns[2];
  static const Column kOutputColumns[kOutputColumnCount];
  static const Column kWitsInColumns[5];
  // An empty header row and nothing else.
  static void ResetToHeader(CGridCtrl& grid, bool selectable);
  void SetColumns(CGridCtrl& grid, Columns columns);
  // The first steps of every build: an empty header row, then the columns when there are rows to show.
  // False when the source is empty and the grid keeps only its empty header row.
  bool Rebuild(CGridCtrl& grid, int sourceCount, Columns columns, bool selectable);
  // Widens the shown columns (all, or the one given) whose texts have outgrown them; a column never
  // narrows below its width at 96 dpi, nor between two builds, so it does not jump as values change.
  void FitColumns(CGridCtrl& grid, Columns columns, int only = -1);
  void FillOutputRow(int row);
  [[nodiscard]] int Scaled(int pixelsAt96) const;
  // A command's failure, told in a message box over the grids' window.
  void Present(const CommandResult& result);

  CRigController& m_controller;
  const CRigSim& m_engine;
  int m_dpiY;
  bool m_bReadingBack = false;
  std::function<void()> m_columnsResized;
  int m_channelGridWidth = 0;  // the widths the channel and state grids last said they need
  int m_stateGridWidth = 0;
  CGridCtrl* m_stateGrid;
  CGridCtrl* m_channelGrid;
  CGridCtrl* m_outputGrid;
  CGridCtrl* m_witsInGrid;
};
