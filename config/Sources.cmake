# The configuration window, its editors and dialogs.
if(WIN32)
  add_library(tarvo_config STATIC
    config/ConfigurationMode.cpp
  )
  target_link_libraries(tarvo_config PUBLIC tarvo_framework)
  list(APPEND TARVO_EXE_LIBS tarvo_config)
endif()
