# The program's own controls and the about box; the colour blends they paint
# with are portable.
add_library(tarvo_drawing STATIC controls/Drawing.cpp controls/Animation.cpp)

tarvo_tests(controls_core_tests
  SOURCES tests/core/DrawingTest.cpp tests/core/AnimationTest.cpp
  LIBS tarvo_drawing)

if(WIN32)
  add_library(tarvo_controls STATIC
    controls/VQControls.cpp
    controls/InfoDlg.cpp
    controls/Balloons.cpp
  )
  target_link_libraries(tarvo_controls PUBLIC tarvo_framework tarvo_drawing tarvo_startpage version shell32 comctl32)
  list(APPEND TARVO_EXE_LIBS tarvo_controls)
endif()

if(WIN32)
  # Real windows in the test process: one test program at a time.
  tarvo_tests(framework_win_tests
    SOURCES tests/win/FrameworkTest.cpp tests/win/FrameworkEventsTest.cpp tests/win/TextBoundaryTest.cpp
    LIBS tarvo_controls tarvo_wintestsupport
    SERIAL)
endif()
