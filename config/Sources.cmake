# The configuration window, its editors and dialogs; the start page's rules
# and the save-before prompt are portable.
add_library(tarvo_startpage STATIC
  config/StartPage.cpp
  config/SavePrompt.cpp
  config/CommandLines.cpp
)
target_link_libraries(tarvo_startpage PUBLIC tarvo_launcher tarvo_model)

# The group and menu editors' state and rules; the window draws them through
# their view interfaces.
add_library(tarvo_editors STATIC
  config/GroupEditorPresenter.cpp
  config/MenuEditorPresenter.cpp
  config/EditorHistory.cpp
  config/FolderImport.cpp
)
target_link_libraries(tarvo_editors PUBLIC tarvo_startpage tarvo_model)

tarvo_tests(editor_core_tests
  SOURCES tests/core/EditorPresenterTest.cpp
  LIBS tarvo_editors)

# The project check, portable: its lookups come through an interface.
add_library(tarvo_projectcheck STATIC config/ProjectCheck.cpp)
target_link_libraries(tarvo_projectcheck PUBLIC tarvo_launcher tarvo_model)

tarvo_tests(config_core_tests
  SOURCES tests/core/StartPageTest.cpp tests/core/CommandLinesTest.cpp tests/core/ProjectCheckTest.cpp
  LIBS tarvo_startpage tarvo_projectcheck)

if(WIN32)
  add_library(tarvo_config STATIC
    config/ConfigurationMode.cpp
    config/MainForm.cpp
    config/StartPage_win.cpp
    config/EditorPage.cpp
    config/MenuEditor_win.cpp
    config/GroupEditor_win.cpp
    config/CheckForm.cpp
    config/ProjectCheck_win.cpp
    config/CommandLineDialog.cpp
    config/BrowseForPath.cpp
    config/FolderImport_win.cpp
    config/EditorIcons_win.cpp
  )
  target_link_libraries(tarvo_config PUBLIC tarvo_editors tarvo_framework tarvo_controls tarvo_shortcut tarvo_startpage tarvo_launcher_win tarvo_updatewizard tarvo_projectcheck comdlg32 ole32 shell32 advapi32)
  list(APPEND TARVO_EXE_LIBS tarvo_config)
endif()

# The help page and its pictures beside TRV.EXE.
file(GLOB TARVO_HELP_PICTURES RELATIVE ${CMAKE_SOURCE_DIR}/resources ${CMAKE_SOURCE_DIR}/resources/TRV-*.png)
set(TARVO_HELP_FILES TRV.HTM ${TARVO_HELP_PICTURES})
set(TARVO_HELP_OUTPUTS)
foreach(f ${TARVO_HELP_FILES})
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${f}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/resources/${f} ${CMAKE_BINARY_DIR}/${f}
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/${f})
  list(APPEND TARVO_HELP_OUTPUTS ${CMAKE_BINARY_DIR}/${f})
endforeach()
add_custom_target(tarvo_helppage ALL DEPENDS ${TARVO_HELP_OUTPUTS})

if(WIN32)
  add_library(tarvo_configdriver STATIC tests/win/ConfigDriver.cpp)
  target_link_libraries(tarvo_configdriver PUBLIC tarvo_wintestsupport psapi ole32 uuid comctl32)

  # TRV.EXE's windows on the screen, the focus among them: one at a time.
  tarvo_tests(config_win_tests
    SOURCES tests/win/MainFormTest.cpp tests/win/AboutTest.cpp tests/win/EditorPageTest.cpp
      tests/win/ShortcutPageTest.cpp tests/win/TextFitTest.cpp
    LIBS tarvo_configdriver tarvo_launchertestsupport
    SERIAL)
  add_dependencies(config_win_tests TRV tarvo_helppage ArgRecorder)

  # The editor page's menu in process, with the program's resources.
  tarvo_tests(config_editor_tests
    SOURCES tests/win/MenuEditorTest.cpp tests/win/GroupEditorTest.cpp tests/win/ProjectCheckWinTest.cpp
      tests/win/LinkExactnessTest.cpp resources/Tarvo.rc
    LIBS tarvo_config tarvo_testreleasekeys tarvo_wintestsupport tarvo_launchertestsupport
    SERIAL)
  add_dependencies(config_editor_tests ArgRecorder)

  # The same windows on a screen of 144 DPI (a prefix of its own).
  tarvo_tests(config_dpi_tests
    SOURCES tests/win/DpiTest.cpp tests/win/TextFitTest.cpp
    LIBS tarvo_configdriver tarvo_launchertestsupport
    SERIAL
    ENVIRONMENT TARVO_WINE_DPI=144)
  add_dependencies(config_dpi_tests TRV)
endif()
