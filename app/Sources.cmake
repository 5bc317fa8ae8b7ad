# TRV.EXE: the program entry, linked from every folder's Windows library
# (TARVO_EXE_LIBS, appended by the folders' Sources.cmake).
if(WIN32)
  # keys: the release keys the program installs updates signed with;
  # version: its version resource; folder: where it is built ("" the build
  # folder, where the tests find TRV.EXE).
  function(tarvo_program target name keys version folder)
    add_executable(${target} WIN32
      app/Main.cpp
      resources/Tarvo.rc
    )
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${name} SUFFIX .EXE)
    if(folder)
      set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${folder})
    endif()
    if(NOT version STREQUAL TARVO_VERSION)
      # Its own version header, found before the build's.
      tarvo_version_header(${CMAKE_BINARY_DIR}/version/${target} ${version})
      target_include_directories(${target} BEFORE PRIVATE ${CMAKE_BINARY_DIR}/version/${target})
    endif()
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
  tarvo_program(TRV TRV tarvo_releasekeys ${TARVO_VERSION} "")
  # The same program accepting the tests' key as well: the update tests
  # install releases signed with it. Never shipped, and built apart from
  # TRV.EXE so that nothing packs it by mistake.
  tarvo_program(TRVTEST TRVTEST tarvo_testreleasekeys ${TARVO_VERSION} testprograms)
  # TRV.EXE once more with the next major version: the release that the
  # update tests install over TRVTEST.EXE. Never shipped.
  string(REGEX MATCH "^[0-9]+" major ${TARVO_VERSION})
  math(EXPR major "${major} + 1")
  string(REGEX REPLACE "^[0-9]+" "${major}" TARVO_NEXT_VERSION ${TARVO_VERSION})
  tarvo_program(TRVNEXT TRV tarvo_releasekeys ${TARVO_NEXT_VERSION} testprograms/next)

  tarvo_tests(exe_tests
    SOURCES tests/win/TrvExeTest.cpp
    LIBS tarvo_wintestsupport version crypt32)
  tarvo_embed_text(exe_tests resources/release-key.pem)
  tarvo_embed_text(exe_tests tests/keys/test-release-public.pem)
  target_compile_definitions(exe_tests PRIVATE "TARVO_VERSION_TEXT=\"${TARVO_VERSION}\"")
  add_dependencies(exe_tests TRV TRVTEST)

  tarvo_tests(delay_load_tests
    SOURCES tests/win/DelayLoadTest.cpp
    LIBS tarvo_launchertestsupport psapi)
  add_dependencies(delay_load_tests TRV ArgRecorder)
endif()

if(WIN32)
  # TRV.EXE on a Windows whose ANSI code page is 1251 (Cyrillic): a prefix
  # of its own.
  tarvo_tests(codepage_e2e_tests
    SOURCES tests/win/CodePageE2ETest.cpp
    LIBS tarvo_configdriver
    ENVIRONMENT TARVO_WINE_CODEPAGE=1251
    SERIAL)
  add_dependencies(codepage_e2e_tests TRV)
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

if(WIN32)
  # A real self-update: TRVTEST.EXE, installed as TRV.EXE, updates itself
  # to TRVNEXT (TRV.EXE of the next version) from a release made by
  # scripts/release.sh, signed with the test key and served by nginx.
  set(TARVO_NGINX ${CMAKE_BINARY_DIR}/nginx)
  add_test(NAME ${TARVO_TEST_PREFIX}nginx_release.make
           COMMAND ${CMAKE_SOURCE_DIR}/tests/keys/publish-test-release.sh ${TARVO_NGINX}/site $<TARGET_FILE:TRVNEXT>)
  add_test(NAME ${TARVO_TEST_PREFIX}nginx.start COMMAND ${CMAKE_SOURCE_DIR}/scripts/nginx-server.sh start ${TARVO_NGINX})
  set_tests_properties(${TARVO_TEST_PREFIX}nginx_release.make ${TARVO_TEST_PREFIX}nginx.start
                       PROPERTIES FIXTURES_SETUP Nginx)
  add_test(NAME ${TARVO_TEST_PREFIX}nginx.stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/nginx-server.sh stop ${TARVO_NGINX})
  set_tests_properties(${TARVO_TEST_PREFIX}nginx.stop PROPERTIES FIXTURES_CLEANUP Nginx)

  tarvo_tests(update_install_e2e_tests
    SOURCES tests/win/UpdateInstallE2ETest.cpp
    LIBS tarvo_configdriver tarvo_launchertestsupport tarvo_updatewizard tarvo_testreleasekeys version psapi
    ENVIRONMENT TARVO_WINE_PREFIX=updates
    FIXTURES Nginx
    SERIAL)
  target_compile_definitions(update_install_e2e_tests PRIVATE "TARVO_NEXT_VERSION_TEXT=\"${TARVO_NEXT_VERSION}\"")
  add_dependencies(update_install_e2e_tests TRVTEST TRVNEXT)
endif()
