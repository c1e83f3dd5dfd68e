#pragma once

#include <QApplication>
#include <cstdlib>

// The one application object of a fuzz target that makes widgets: on the offscreen platform unless
// another is chosen, made on first use and kept for the life of the process. Qt's own warnings about
// odd geometry and the like are dropped, so they do not slow the run down or bury a report.
inline void FuzzApplication() {
  static const bool made = [] {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform == nullptr || *platform == '\0') setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static int argc = 1;
    static char name[] = "vorn-fuzz";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    return true;
  }();
  (void)made;
}
