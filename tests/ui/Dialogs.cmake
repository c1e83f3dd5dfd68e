# The settings dialogs, their property list and the serial port list, on offscreen Qt.
vorn_add_test(test_dialogs
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/DialogTestParts.h
    ${CMAKE_CURRENT_LIST_DIR}/PropertyGridTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimSettingsDlgTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CommsSettingsDlgTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TestBenchDlgTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WidgetPlacementTest.cpp
  LIBS rigsim_ui
  GUI)
target_compile_definitions(test_dialogs PRIVATE VORN_SCREENSHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}/screenshots")
