# The simulation settings dialog with its property list, and the comms settings dialog.
target_sources(rigsim_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CommsSettingsDlg.cpp ${CMAKE_CURRENT_LIST_DIR}/CommsSettingsDlg.h
  ${CMAKE_CURRENT_LIST_DIR}/MFCPropertyGridProperty_Formatted.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MFCPropertyGridProperty_Formatted.h
  ${CMAKE_CURRENT_LIST_DIR}/NetAddressCtrl.cpp ${CMAKE_CURRENT_LIST_DIR}/NetAddressCtrl.h
  ${CMAKE_CURRENT_LIST_DIR}/PropChangeIF.h
  ${CMAKE_CURRENT_LIST_DIR}/PropertyValueDelegate.cpp ${CMAKE_CURRENT_LIST_DIR}/PropertyValueDelegate.h
  ${CMAKE_CURRENT_LIST_DIR}/SerialPortList.cpp ${CMAKE_CURRENT_LIST_DIR}/SerialPortList.h
  ${CMAKE_CURRENT_LIST_DIR}/SimSettingsDlg.cpp ${CMAKE_CURRENT_LIST_DIR}/SimSettingsDlg.h
  ${CMAKE_CURRENT_LIST_DIR}/TestBenchDlg.cpp ${CMAKE_CURRENT_LIST_DIR}/TestBenchDlg.h
  ${CMAKE_CURRENT_LIST_DIR}/VornMFCPropertyGridCtrl.cpp ${CMAKE_CURRENT_LIST_DIR}/VornMFCPropertyGridCtrl.h
  ${CMAKE_CURRENT_LIST_DIR}/VornPropertyGridProperty.cpp ${CMAKE_CURRENT_LIST_DIR}/VornPropertyGridProperty.h
  ${CMAKE_CURRENT_LIST_DIR}/WidgetPlacement.cpp ${CMAKE_CURRENT_LIST_DIR}/WidgetPlacement.h)
