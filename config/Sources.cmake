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

# The project check, portable: its lookups come through an interface.
add_library(tarvo_projectcheck STATIC config/ProjectCheck.cpp)
target_link_libraries(tarvo_projectcheck PUBLIC tarvo_launcher tarvo_model)
if(WIN32)
  # Its lookups on the running system.
  add_library(tarvo_projectcheck_win STATIC config/ProjectCheck_win.cpp)
  target_link_libraries(tarvo_projectcheck_win PUBLIC tarvo_projectcheck ${TARVO_PLATFORM_LIB})
endif()

if(WIN32)
  add_library(tarvo_config STATIC
    config/ConfigurationMode.cpp
    config/MainForm.cpp
    config/StartPage_win.cpp
    config/EditorPage.cpp
    config/MenuEditor_win.cpp
    config/GroupEditor_win.cpp
    config/CheckForm.cpp
    config/CommandLineDialog.cpp
    config/BrowseForPath.cpp
    config/FolderImport_win.cpp
    config/EditorIcons_win.cpp
  )
  target_link_libraries(tarvo_config PUBLIC tarvo_editors tarvo_framework tarvo_controls tarvo_shortcut tarvo_startpage tarvo_launcher_win tarvo_updatewizard tarvo_projectcheck_win comdlg32 ole32 shell32 advapi32)
  list(APPEND TARVO_EXE_LIBS tarvo_config)
endif()
