# Stock controls, popup menus, tooltips and the message box window.
target_sources(pdfimport_platform PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/CButton.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/CEdit.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/CMenu.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/CStatic.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/CTabCtrl.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/CToolTipCtrl.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ClassicLook.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Clipboard.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/EditLineModel.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/KeyboardState.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/MenuTable.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/MenuTemplate.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/MessageBoxWindow.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/PopupMenuWindow.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/StockControls.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/SystemInfo.cpp
)
