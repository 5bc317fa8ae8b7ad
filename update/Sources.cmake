# The update component and wizard; their rules are portable.
add_library(tarvo_updaterules STATIC update/UpdateRules.cpp update/UpdateSettings.cpp)
target_link_libraries(tarvo_updaterules PUBLIC tarvo_model)

tarvo_tests(update_core_tests
  SOURCES tests/core/UpdateRulesTest.cpp tests/core/UpdateSettingsTest.cpp
  LIBS tarvo_updaterules)

if(WIN32)
  add_library(tarvo_update_win STATIC update/Registry_win.cpp)
  target_link_libraries(tarvo_update_win PUBLIC tarvo_updaterules advapi32)
  list(APPEND TARVO_EXE_LIBS tarvo_update_win)

  tarvo_tests(update_win_tests
    SOURCES tests/win/RegistryTest.cpp
    LIBS tarvo_update_win)
endif()
