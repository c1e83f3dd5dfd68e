# The Plots tab: strip charts of the run's history on QCustomPlot.
target_sources(rigsim_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/FittingTicker.cpp ${CMAKE_CURRENT_LIST_DIR}/FittingTicker.h
  ${CMAKE_CURRENT_LIST_DIR}/MarkThinning.cpp ${CMAKE_CURRENT_LIST_DIR}/MarkThinning.h
  ${CMAKE_CURRENT_LIST_DIR}/PlotLayout.cpp ${CMAKE_CURRENT_LIST_DIR}/PlotLayout.h
  ${CMAKE_CURRENT_LIST_DIR}/PlotsView.cpp ${CMAKE_CURRENT_LIST_DIR}/PlotsView.h
  ${CMAKE_CURRENT_LIST_DIR}/ScaleSharing.cpp ${CMAKE_CURRENT_LIST_DIR}/ScaleSharing.h
  ${CMAKE_CURRENT_LIST_DIR}/SeriesQuantity.cpp ${CMAKE_CURRENT_LIST_DIR}/SeriesQuantity.h
  ${CMAKE_CURRENT_LIST_DIR}/TrackPlot.h)
target_link_libraries(rigsim_ui PUBLIC QCustomPlotQt6::QCustomPlotQt6)
