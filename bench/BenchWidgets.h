#pragma once

#include <QApplication>

// One widgets application for the whole benchmark run, on the offscreen platform unless another is
// chosen, made on first use and kept to the end: tearing Qt down from a static destructor after main()
// has returned crashes in its input devices.
inline QApplication& BenchApp() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "vornrigsim-bench";
  static char* argv[] = {name, nullptr};
  static auto* app = new QApplication(argc, argv);
  return *app;
}
