# Stock controls, popup menus, tooltips and the message box window.
target_sources(pdfimport_platform PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/CMenu.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/EditLineModel.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/MenuTable.cpp
)
