# Shell links, the shell folder tree and list, and positioning the tree; the
# shortcut page's rules are portable.
add_library(tarvo_linkrules STATIC shortcut/LinkRules.cpp)
target_link_libraries(tarvo_linkrules PUBLIC tarvo_model)

if(WIN32)
  add_library(tarvo_shortcut STATIC
    shortcut/ShellLink.cpp
    shortcut/ShellNamespace.cpp
    shortcut/ShellTree.cpp
    shortcut/ShellList.cpp
    shortcut/ShellTreePath.cpp
    shortcut/ShellControls.cpp
    shortcut/ShortcutPage.cpp
  )
  target_link_libraries(tarvo_shortcut PUBLIC tarvo_framework tarvo_controls tarvo_linkrules comctl32 shell32 shlwapi ole32 uuid)
  list(APPEND TARVO_EXE_LIBS tarvo_shortcut)
endif()
