#pragma once

#include <QApplication>
#include <QPointer>

class CVornRigSimDlg;

// The program with its window: the application object prepared for the simulator (names under which
// the per-user profile is kept, numbers in the C locale), and the main window run until it closes.
class CVornRigSimApp : public QApplication {
  Q_OBJECT

 public:
  CVornRigSimApp(int& argc, char** argv);

  // Shows the main window and runs until it is closed; the program's exit code.
  int RunMainWindow();
  // Closes the main window as its close box does (the state is saved on the way out).
  void CloseMainWindow();

 private:
  QPointer<CVornRigSimDlg> m_window;
};
