# The update component and wizard; their rules are portable.
add_library(tarvo_updaterules STATIC update/UpdateRules.cpp)
target_link_libraries(tarvo_updaterules PUBLIC tarvo_model)

tarvo_tests(update_core_tests
  SOURCES tests/core/UpdateRulesTest.cpp
  LIBS tarvo_updaterules)
