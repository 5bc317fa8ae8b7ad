# The launcher: the command-line interpreter and the popup menu's logic
# (portable), their Win32 side, and their tests.
add_library(tarvo_launcher STATIC
  launcher/Interpreter.cpp
  launcher/PopupMenu.cpp
  launcher/MenuIcons.cpp
)
target_link_libraries(tarvo_launcher PUBLIC tarvo_model tarvo_updaterules)

tarvo_tests(launcher_tests
  SOURCES
    tests/core/InterpreterTest.cpp
    tests/core/PopupMenuTest.cpp
    tests/core/MenuIconsTest.cpp
  LIBS tarvo_launcher)

if(WIN32)
  add_library(tarvo_launcher_win STATIC
    launcher/LauncherHost_win.cpp
    launcher/PopupMenu_win.cpp
    launcher/MenuIcons_win.cpp
  )
  target_link_libraries(tarvo_launcher_win PUBLIC tarvo_launcher tarvo_framework tarvo_update_win ${TARVO_PLATFORM_LIB} shell32 ole32 gdi32)
  list(APPEND TARVO_EXE_LIBS tarvo_launcher_win)

  # A stand-in program for the tests: records its command line, arguments
  # and working folder.
  add_executable(ArgRecorder WIN32 tests/win/ArgRecorder.cpp)
endif()

if(WIN32)
  add_library(tarvo_launchertestsupport STATIC tests/win/LauncherTestSupport.cpp)
  target_link_libraries(tarvo_launchertestsupport PUBLIC tarvo_wintestsupport psapi)

  # End to end: the real TRV.EXE in popup mode, driven from the test.
  tarvo_tests(launcher_e2e_tests
    SOURCES tests/win/LauncherE2ETest.cpp tests/win/GroupLinkE2ETest.cpp
    LIBS tarvo_launchertestsupport tarvo_model tarvo_linkrules
    SERIAL)
  tarvo_tests(popup_e2e_tests
    SOURCES tests/win/PopupE2ETest.cpp
    LIBS tarvo_launchertestsupport tarvo_model
    SERIAL)
  tarvo_tests(launcher_win_tests
    SOURCES tests/win/LauncherWinTest.cpp
    LIBS tarvo_launchertestsupport tarvo_launcher_win)
  add_dependencies(launcher_win_tests ArgRecorder)
  add_dependencies(launcher_e2e_tests TRV ArgRecorder)
  add_dependencies(popup_e2e_tests TRV ArgRecorder)
  # The popup on a Windows whose ANSI code page is 1251 (Cyrillic): a prefix
  # of its own.
  tarvo_tests(popup_codepage_e2e_tests
    SOURCES tests/win/PopupCodePageE2ETest.cpp
    LIBS tarvo_launchertestsupport tarvo_model
    ENVIRONMENT TARVO_WINE_CODEPAGE=1251
    SERIAL)
  add_dependencies(popup_codepage_e2e_tests TRV)
endif()
include(bench/Sources.cmake)
