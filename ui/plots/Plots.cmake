# The Plots tab: strip charts of the run's history on QCustomPlot.
target_sources(rigsim_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/PlotLayout.cpp ${CMAKE_CURRENT_LIST_DIR}/PlotLayout.h
  ${CMAKE_CURRENT_LIST_DIR}/PlotsView.cpp ${CMAKE_CURRENT_LIST_DIR}/PlotsView.h)
target_link_libraries(rigsim_ui PUBLIC QCustomPlotQt6::QCustomPlotQt6)
