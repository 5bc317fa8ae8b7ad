# The small window framework all windows share.
if(WIN32)
  add_library(tarvo_framework STATIC
    framework/Application.cpp
    framework/Form.cpp
    framework/Controls.cpp
    framework/DrawnButton.cpp
    framework/ControlQuery.cpp
    framework/Dialogs.cpp
    framework/Paint.cpp
  )
  # The platform layer holds the program's one message box.
  target_link_libraries(tarvo_framework PUBLIC tarvo_model ${TARVO_PLATFORM_LIB} comctl32 uxtheme oleacc comdlg32 shell32 ole32)
  list(APPEND TARVO_EXE_LIBS tarvo_framework)
endif()
