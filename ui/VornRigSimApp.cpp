#include "ui/VornRigSimApp.h"

#include <clocale>

#include "ui/VornRigSimDlg.h"

CVornRigSimApp::CVornRigSimApp(int& argc, char** argv) : QApplication(argc, argv) {
  setOrganizationName("VornRigSim");
  setApplicationName("VornRigSim");
  std::setlocale(LC_NUMERIC, "C");  // numbers never follow the user's locale
}

int CVornRigSimApp::RunMainWindow() {
  CVornRigSimDlg window;
  m_window = &window;
  window.show();
  window.exec();
  return 0;
}

void CVornRigSimApp::CloseMainWindow() {
  if (m_window) m_window->reject();
}
