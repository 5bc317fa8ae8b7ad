# The configuration window, its editors and dialogs; the start page's rules
# and the save-before prompt are portable.
add_library(tarvo_startpage STATIC
  config/StartPage.cpp
  config/SavePrompt.cpp
)
target_link_libraries(tarvo_startpage PUBLIC tarvo_model)

tarvo_tests(config_core_tests
  SOURCES tests/core/StartPageTest.cpp
  LIBS tarvo_startpage)

if(WIN32)
  add_library(tarvo_config STATIC
    config/ConfigurationMode.cpp
  )
  target_link_libraries(tarvo_config PUBLIC tarvo_framework tarvo_startpage)
  list(APPEND TARVO_EXE_LIBS tarvo_config)
endif()
