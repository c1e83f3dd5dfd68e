# The Plots tab in the main window, on offscreen Qt with a real profile and data root.
vorn_add_test(test_plots
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/PlotsViewTest.cpp ${CMAKE_CURRENT_LIST_DIR}/PlotsFitTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/PlotsTestParts.h ${CMAKE_CURRENT_LIST_DIR}/PlotLayoutTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/PlotScalesTest.cpp
  LIBS rigsim_ui Qt6::Test
  GUI)
target_compile_definitions(test_plots PRIVATE VORN_SCREENSHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}/screenshots")
