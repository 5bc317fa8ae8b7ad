# The program's own controls and the about box; the colour blends they paint
# with are portable.
add_library(tarvo_drawing STATIC controls/Drawing.cpp)

tarvo_tests(controls_core_tests
  SOURCES tests/core/DrawingTest.cpp
  LIBS tarvo_drawing)

