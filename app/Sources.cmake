# TRV.EXE: the program entry, linked from every folder's Windows library
# (TARVO_EXE_LIBS, appended by the folders' Sources.cmake).
if(WIN32)
  add_executable(TRV WIN32
    app/Main.cpp
    resources/Tarvo.rc
  )
  set_target_properties(TRV PROPERTIES OUTPUT_NAME TRV SUFFIX .EXE)
  target_link_libraries(TRV PRIVATE ${TARVO_EXE_LIBS} ${TARVO_PLATFORM_LIB}
                        comctl32 shell32 ole32 oleaut32 uuid wininet version z)

  tarvo_tests(exe_tests
    SOURCES tests/win/TrvExeTest.cpp
    LIBS tarvo_wintestsupport version)
  add_dependencies(exe_tests TRV)
endif()
