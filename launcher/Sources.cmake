# The launcher: the command-line interpreter and the popup menu's logic
# (portable), their Win32 side, and their tests.
add_library(tarvo_launcher STATIC
  launcher/Interpreter.cpp
  launcher/PopupMenu.cpp
)
target_link_libraries(tarvo_launcher PUBLIC tarvo_model)

tarvo_tests(launcher_tests
  SOURCES
    tests/core/InterpreterTest.cpp
    tests/core/PopupMenuTest.cpp
  LIBS tarvo_launcher)

if(WIN32)
  add_library(tarvo_launcher_win STATIC
    launcher/LauncherHost_win.cpp
    launcher/PopupMenu_win.cpp
  )
  target_link_libraries(tarvo_launcher_win PUBLIC tarvo_launcher tarvo_framework shell32 ole32)
  list(APPEND TARVO_EXE_LIBS tarvo_launcher_win)

  # A stand-in program for the tests: records its command line, arguments
  # and working folder.
  add_executable(ArgRecorder WIN32 tests/win/ArgRecorder.cpp)
endif()
