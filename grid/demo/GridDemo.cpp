// A 30 x 14 grid with text, check-box and drop-down cells, editable, printing every notification it
// sends. `grid_demo --png <file>` renders the window to a picture and exits instead of running.
#include <QApplication>
#include <QCommandLineParser>
#include <QDialog>
#include <QTextStream>
#include <QVBoxLayout>

#include "grid/GridCtrl.h"

namespace {

class PrintingOwner : public CGridOwnerIF {
 public:
  int OnGridNotify(CGridCtrl& grid, int code, int row, int column) override {
    QTextStream(stdout) << "notify " << code << " row " << row << " column " << column << " text \""
                        << grid.GetItemText(row, column) << "\"\n";
    return 0;
  }
};

void Fill(CGridCtrl& grid) {
  const QStringList kinds{"DEPTH", "HOLE_DEPTH", "BLOCK_HEIGHT", "ROP", "CONSTANT(A)", "TEXT (D)"};
  const QStringList rotation{"both", "sliding", "rotating"};
  grid.SetRowCount(30);
  grid.SetColumnCount(14);
  grid.SetFixedRowCount(1);
  grid.SetFixedColumnCount(1);
  for (int c = 0; c < 14; ++c) grid.SetItemText(0, c, c == 0 ? QString("#") : QString("Col %1").arg(c));
  grid.SetColumnWidth(0, 30);
  grid.SetColumnWidth(1, 40);
  grid.SetColumnWidth(3, 150);
  grid.SetColumnWidth(7, 0);  // hidden: arrows, Tab and the mouse pass over it
  for (int r = 1; r < 30; ++r) {
    grid.SetItemText(r, 0, QString::number(r));
    grid.SetCellType(r, 1, GridCellKind::Check);
    grid.SetCellCheck(r, 1, r % 2 == 0);
    grid.SetCellType(r, 3, GridCellKind::Combo);
    grid.SetCellOptions(r, 3, kinds);
    grid.SetItemText(r, 3, kinds[r % kinds.size()]);
    grid.SetCellType(r, 4, GridCellKind::Combo);
    grid.SetCellOptions(r, 4, rotation);
    grid.SetItemText(r, 4, rotation[r % rotation.size()]);
    grid.SetItemText(r, 2, QString("Item %1").arg(r));
    for (int c = 5; c < 14; ++c) grid.SetItemText(r, c, QString::number(r * 10 + c));
    grid.SetItemText(r, 13, QString("A longer text that does not fit in row %1").arg(r));
    if (r % 7 == 0) {
      for (int c = 1; c < 14; ++c) {
        grid.SetItemState(r, c, grid.GetItemState(r, c) | gridstate::kReadOnly);
        grid.SetItemBkColour(r, c, QColor(220, 240, 240));
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCommandLineParser parser;
  parser.addHelpOption();
  const QCommandLineOption png("png", "Render the window to <file> and exit.", "file");
  parser.addOption(png);
  parser.process(app);

  QDialog window;
  window.setWindowTitle("Grid control");
  auto* grid = new CGridCtrl(&window);
  PrintingOwner owner;
  grid->SetOwner(&owner);
  grid->SetControlId(1000);
  Fill(*grid);
  QObject::connect(grid, &CGridCtrl::cellCommand,
                   [](int id) { QTextStream(stdout) << "command from control " << id << "\n"; });
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(grid);
  window.resize(900, 520);

  if (parser.isSet(png)) {
    window.show();
    grid->SetFocusCell(2, 2);
    grid->SetSelectedRange(2, 2, 3, 5);
    return window.grab().save(parser.value(png)) ? 0 : 1;
  }
  window.show();
  return app.exec();
}
