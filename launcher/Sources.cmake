# The launcher: the command-line interpreter and the popup menu's logic
# (portable), their Win32 side, and their tests.
add_library(tarvo_launcher STATIC
  launcher/Interpreter.cpp
  launcher/PopupMenu.cpp
  launcher/MenuIcons.cpp
  launcher/Search.cpp
  launcher/LiveFolder.cpp
  launcher/MostUsed.cpp
)
target_link_libraries(tarvo_launcher PUBLIC tarvo_model)

if(WIN32)
  add_library(tarvo_launcher_win STATIC
    launcher/LauncherHost_win.cpp
    launcher/PopupMenu_win.cpp
    launcher/MenuIcons_win.cpp
    launcher/SearchWindow_win.cpp
    launcher/MostUsed_win.cpp
  )
  target_link_libraries(tarvo_launcher_win PUBLIC tarvo_launcher tarvo_framework ${TARVO_PLATFORM_LIB} shell32 ole32 gdi32)
  list(APPEND TARVO_EXE_LIBS tarvo_launcher_win)
endif()
