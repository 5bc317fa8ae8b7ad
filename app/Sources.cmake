# TRV.EXE: the program entry, linked from every folder's Windows library
# (TARVO_EXE_LIBS, appended by the folders' Sources.cmake).
if(WIN32)
  # keys: the release keys the program installs updates signed with.
  function(tarvo_program target name keys)
    add_executable(${target} WIN32
      app/Main.cpp
      resources/Tarvo.rc
    )
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${name} SUFFIX .EXE)
    target_link_libraries(${target} PRIVATE ${TARVO_EXE_LIBS} ${keys} ${TARVO_PLATFORM_LIB}
                          comctl32 shell32 ole32 oleaut32 uuid wininet version z)
    # Popup mode on a project that shows nothing needs only kernel32: the
    # windowing, shell and COM DLLs are loaded at their first call.
    tarvo_delay_load(${target} user32 gdi32 shell32 ole32 oleaut32 comctl32 comdlg32 msimg32 version shlwapi wininet
                     crypt32 advapi32)
    # Shipped without symbols and debug information: Wine reads the image's
    # several megabytes of them at every start of a hotkey launch. (After the
    # delay-load step, which reads the symbols.)
    add_custom_command(TARGET ${target} POST_BUILD COMMAND ${CMAKE_STRIP} $<TARGET_FILE:${target}> VERBATIM)
  endfunction()
  include(cmake/DelayLoad.cmake)
  tarvo_program(TRV TRV tarvo_releasekeys)
  # The same program accepting the tests' key as well: the update tests
  # install releases signed with it. Never shipped.
  tarvo_program(TRVTEST TRVTEST tarvo_testreleasekeys)

  tarvo_tests(exe_tests
    SOURCES tests/win/TrvExeTest.cpp
    LIBS tarvo_wintestsupport version)
  add_dependencies(exe_tests TRV)

  tarvo_tests(delay_load_tests
    SOURCES tests/win/DelayLoadTest.cpp
    LIBS tarvo_launchertestsupport psapi)
  add_dependencies(delay_load_tests TRV ArgRecorder)
endif()

if(WIN32)
  # The update wizard on the screen, in a Wine prefix whose reminder is on.
  tarvo_tests(update_e2e_tests
    SOURCES tests/win/UpdateE2ETest.cpp
    LIBS tarvo_configdriver tarvo_launchertestsupport tarvo_updatewizard tarvo_testreleasekeys
    ENVIRONMENT TARVO_WINE_PREFIX=updates
    FIXTURES UpdateServer
    SERIAL)
  add_dependencies(update_e2e_tests TRVTEST)
endif()
