# The main window, its grids and layout, and the application object that runs it.
target_sources(rigsim_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MainWindowGrids.cpp ${CMAKE_CURRENT_LIST_DIR}/MainWindowGrids.h
  ${CMAKE_CURRENT_LIST_DIR}/MainWindowLayout.cpp ${CMAKE_CURRENT_LIST_DIR}/MainWindowLayout.h
  ${CMAKE_CURRENT_LIST_DIR}/UiResources.cpp ${CMAKE_CURRENT_LIST_DIR}/UiResources.h
  ${CMAKE_CURRENT_LIST_DIR}/VornRigSimApp.cpp ${CMAKE_CURRENT_LIST_DIR}/VornRigSimApp.h
  ${CMAKE_CURRENT_LIST_DIR}/VornRigSimDlg.cpp ${CMAKE_CURRENT_LIST_DIR}/VornRigSimDlg.h)
