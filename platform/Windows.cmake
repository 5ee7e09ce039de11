# Windows, messages, dialogs and drivers of the window framework.
set(PDFIMPORT_WINDOWS_SOURCES)
foreach(src
    CWnd.cpp CWndMessages.cpp CWndPaint.cpp CWndDialog.cpp CPaintDC.cpp CClientDC.cpp
    CDialog.cpp CDataExchange.cpp DialogTemplateRegistry.cpp WindowClassRegistry.cpp
    WindowManager.cpp Driver.cpp OffscreenDriver.cpp ScriptParser.cpp ScriptPlayer.cpp
    MessageBoxService.cpp CFileDialog.cpp CWinApp.cpp WindowFrame.cpp)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${src})
    list(APPEND PDFIMPORT_WINDOWS_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${src})
  endif()
endforeach()
target_sources(pdfimport_platform PRIVATE ${PDFIMPORT_WINDOWS_SOURCES})
