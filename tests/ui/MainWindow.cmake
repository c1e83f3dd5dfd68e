# The main window and its grids, on offscreen Qt with real files, profile and loopback sockets.
vorn_add_test(test_mainwindow
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/MainWindowTestParts.h
    ${CMAKE_CURRENT_LIST_DIR}/MainWindowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainWindowGridsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainWindowViewTest.cpp
  LIBS rigsim_ui Qt6::Test
  GUI)
target_compile_definitions(test_mainwindow PRIVATE VORN_SCREENSHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}/screenshots")
