# The program's own controls and the about box; the colour blends they paint
# with and the balloons' texts and anchors are portable.
add_library(tarvo_drawing STATIC controls/Drawing.cpp controls/Animation.cpp controls/BalloonLayout.cpp)

if(WIN32)
  add_library(tarvo_controls STATIC
    controls/VQControls.cpp
    controls/InfoDlg.cpp
    controls/Balloons.cpp
  )
  target_link_libraries(tarvo_controls PUBLIC tarvo_framework tarvo_drawing version shell32 comctl32)
  list(APPEND TARVO_EXE_LIBS tarvo_controls)
endif()
