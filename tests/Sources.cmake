# The test programs and their support, folder by folder of what they test;
# they link the product libraries that the folders' Sources.cmake define.

# --- The support every test program links, and the model.
add_library(tarvo_testsupport STATIC tests/core/TestSupport.cpp tests/core/Fakes.cpp)
target_link_libraries(tarvo_testsupport PUBLIC tarvo_model gtest)

tarvo_tests(core_tests
  SOURCES
    tests/core/CodecTest.cpp
    tests/core/ProjectTest.cpp
    tests/core/ProjectFileTest.cpp
    tests/core/CharsetTest.cpp
    tests/core/TextTest.cpp
  LIBS tarvo_model)

if(WIN32)
  add_library(tarvo_wintestsupport STATIC tests/win/WinTestSupport.cpp)
  target_link_libraries(tarvo_wintestsupport PUBLIC tarvo_testsupport)
  tarvo_tests(model_win_tests
    SOURCES tests/win/PlatformWinTest.cpp
    LIBS tarvo_wintestsupport)
  # Message boxes over windows of the test program: they take the foreground.
  tarvo_tests(message_box_tests
    SOURCES tests/win/MessageBoxTest.cpp
    LIBS tarvo_wintestsupport
    SERIAL)

  # A stand-in program for the tests: records its command line, arguments
  # and working folder.
  add_executable(ArgRecorder WIN32 tests/win/ArgRecorder.cpp)

  add_library(tarvo_launchertestsupport STATIC tests/win/LauncherTestSupport.cpp)
  target_link_libraries(tarvo_launchertestsupport PUBLIC tarvo_wintestsupport psapi)

  add_library(tarvo_configdriver STATIC tests/win/ConfigDriver.cpp)
  target_link_libraries(tarvo_configdriver PUBLIC tarvo_wintestsupport psapi ole32 uuid comctl32)

  # The release key and the test key (keys/README.txt): the tests' programs
  # accept releases signed with either.
  add_library(tarvo_testreleasekeys OBJECT tests/keys/TestReleaseKeys.cpp)
  tarvo_embed_text(tarvo_testreleasekeys resources/release-key.pem)
  tarvo_embed_text(tarvo_testreleasekeys tests/keys/test-release-public.pem)
  target_link_libraries(tarvo_testreleasekeys PUBLIC tarvo_update_win)
endif()

# --- controls
tarvo_tests(controls_core_tests
  SOURCES tests/core/DrawingTest.cpp tests/core/AnimationTest.cpp
  LIBS tarvo_drawing)

if(WIN32)
  # Real windows in the test process: one test program at a time.
  tarvo_tests(framework_win_tests
    SOURCES tests/win/FrameworkTest.cpp tests/win/FrameworkEventsTest.cpp tests/win/TextBoundaryTest.cpp
    LIBS tarvo_controls tarvo_wintestsupport
    SERIAL)
endif()

# --- shortcut
tarvo_tests(shortcut_core_tests
  SOURCES tests/core/LinkRulesTest.cpp
  LIBS tarvo_linkrules)

if(WIN32)
  tarvo_tests(shortcut_link_tests
    SOURCES tests/win/ShellLinkTest.cpp
    LIBS tarvo_shortcut tarvo_wintestsupport)
  add_dependencies(shortcut_link_tests TRV)

  # Real windows that take the focus: one at a time.
  tarvo_tests(shortcut_shell_tests
    SOURCES tests/win/ShellTreeTest.cpp tests/win/ShellTreePathTest.cpp
    LIBS tarvo_shortcut tarvo_wintestsupport
    SERIAL)
endif()

# --- launcher
tarvo_tests(launcher_tests
  SOURCES
    tests/core/InterpreterTest.cpp
    tests/core/PopupMenuTest.cpp
    tests/core/MenuIconsTest.cpp
    tests/core/SearchTest.cpp
    tests/core/LiveFolderTest.cpp
    tests/core/MostUsedTest.cpp
  LIBS tarvo_launcher)

if(WIN32)
  # End to end: the real TRV.EXE in popup mode, driven from the test.
  tarvo_tests(launcher_e2e_tests
    SOURCES tests/win/LauncherE2ETest.cpp tests/win/GroupLinkE2ETest.cpp
    LIBS tarvo_launchertestsupport tarvo_model tarvo_linkrules
    SERIAL)
  tarvo_tests(popup_e2e_tests
    SOURCES tests/win/PopupE2ETest.cpp tests/win/SearchE2ETest.cpp tests/win/LiveFolderE2ETest.cpp
      tests/win/MostUsedE2ETest.cpp
    LIBS tarvo_launchertestsupport tarvo_model tarvo_platform tarvo_shortcut tarvo_launcher
    SERIAL)
  tarvo_tests(launcher_win_tests
    SOURCES tests/win/LauncherWinTest.cpp
    LIBS tarvo_launchertestsupport tarvo_launcher_win)
  add_dependencies(launcher_win_tests ArgRecorder)
  add_dependencies(launcher_e2e_tests TRV ArgRecorder)
  add_dependencies(popup_e2e_tests TRV ArgRecorder)
  # The popup on a Windows whose ANSI code page is 1251 (Cyrillic): a prefix
  # of its own.
  tarvo_tests(popup_codepage_e2e_tests
    SOURCES tests/win/PopupCodePageE2ETest.cpp
    LIBS tarvo_launchertestsupport tarvo_model
    ENVIRONMENT TARVO_WINE_CODEPAGE=1251
    SERIAL)
  add_dependencies(popup_codepage_e2e_tests TRV)
endif()

# --- update
tarvo_tests(update_core_tests
  SOURCES tests/core/UpdateRulesTest.cpp tests/core/UpdateSettingsTest.cpp tests/core/ReleaseSignatureTest.cpp
    tests/core/UpdateWizardTest.cpp
  LIBS tarvo_updaterules)

if(WIN32)
  # The local update server runs for the tests that need it, on a free port
  # it leaves in its folder; the tests put their files into its "site".
  set(TARVO_UPDATE_SERVER ${CMAKE_BINARY_DIR}/update-server)
  add_test(NAME ${TARVO_TEST_PREFIX}update_server.start
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/update-server.sh start ${TARVO_UPDATE_SERVER})
  set_tests_properties(${TARVO_TEST_PREFIX}update_server.start PROPERTIES FIXTURES_SETUP UpdateServer)
  add_test(NAME ${TARVO_TEST_PREFIX}update_server.stop
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/update-server.sh stop ${TARVO_UPDATE_SERVER})
  set_tests_properties(${TARVO_TEST_PREFIX}update_server.stop PROPERTIES FIXTURES_CLEANUP UpdateServer)

  tarvo_tests(update_win_tests
    SOURCES tests/win/RegistryTest.cpp tests/win/HttpTest.cpp tests/win/ZipArchiveTest.cpp tests/win/UpdateInfoTest.cpp
    LIBS tarvo_update_win tarvo_wintestsupport
    ENVIRONMENT TARVO_UPDATE_SERVER=${TARVO_UPDATE_SERVER}
    FIXTURES UpdateServer)

  # The tests' releases signed with the test key by openssl before they run.
  set(TARVO_SIGNED_RELEASE ${CMAKE_BINARY_DIR}/signed-release)
  add_test(NAME ${TARVO_TEST_PREFIX}signed_release.make
           COMMAND ${CMAKE_SOURCE_DIR}/tests/keys/make-test-releases.py ${TARVO_SIGNED_RELEASE})
  # The server's tests install them too.
  set_tests_properties(${TARVO_TEST_PREFIX}signed_release.make PROPERTIES FIXTURES_SETUP "SignedRelease;UpdateServer")
  tarvo_tests(signature_tests
    SOURCES tests/win/SignatureTest.cpp tests/win/InstallScriptTest.cpp
    LIBS tarvo_testreleasekeys tarvo_wintestsupport
    FIXTURES SignedRelease)
  # The shipped install script template run by cmd as the program prepares
  # it.
  tarvo_tests(update_template_tests
    SOURCES tests/win/UpdateTemplateTest.cpp
    LIBS tarvo_testreleasekeys tarvo_wintestsupport
    FIXTURES SignedRelease)
endif()

# --- config
tarvo_tests(editor_core_tests
  SOURCES tests/core/EditorPresenterTest.cpp
  LIBS tarvo_editors)

tarvo_tests(config_core_tests
  SOURCES tests/core/StartPageTest.cpp tests/core/CommandLinesTest.cpp tests/core/ProjectCheckTest.cpp
  LIBS tarvo_startpage tarvo_projectcheck tarvo_drawing)

if(WIN32)
  # TRV.EXE's windows on the screen, the focus among them: one at a time.
  tarvo_tests(config_win_tests
    SOURCES tests/win/MainFormTest.cpp tests/win/AboutTest.cpp tests/win/EditorPageTest.cpp
      tests/win/ShortcutPageTest.cpp tests/win/TextFitTest.cpp
    LIBS tarvo_configdriver tarvo_launchertestsupport tarvo_launcher
    SERIAL)
  add_dependencies(config_win_tests TRV tarvo_helppage ArgRecorder)

  # The editor page's menu in process, with the program's resources.
  tarvo_tests(config_editor_tests
    SOURCES tests/win/MenuEditorTest.cpp tests/win/GroupEditorTest.cpp tests/win/ProjectCheckWinTest.cpp
      tests/win/LinkExactnessTest.cpp
    LIBS tarvo_resources tarvo_config tarvo_testreleasekeys tarvo_wintestsupport tarvo_launchertestsupport
    SERIAL)
  add_dependencies(config_editor_tests ArgRecorder)

  # The same windows on a screen of 144 DPI (a prefix of its own).
  tarvo_tests(config_dpi_tests
    SOURCES tests/win/DpiTest.cpp tests/win/TextFitTest.cpp
    LIBS tarvo_configdriver tarvo_launchertestsupport
    SERIAL
    ENVIRONMENT TARVO_WINE_DPI=144)
  add_dependencies(config_dpi_tests TRV)
endif()

# --- TRV.EXE as a whole
if(WIN32)
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

  # TRV.EXE on a Windows whose ANSI code page is 1251 (Cyrillic): a prefix
  # of its own.
  tarvo_tests(codepage_e2e_tests
    SOURCES tests/win/CodePageE2ETest.cpp
    LIBS tarvo_configdriver
    ENVIRONMENT TARVO_WINE_CODEPAGE=1251
    SERIAL)
  add_dependencies(codepage_e2e_tests TRV)

  # The update wizard on the screen, in a Wine prefix whose reminder is on.
  tarvo_tests(update_e2e_tests
    SOURCES tests/win/UpdateE2ETest.cpp
    LIBS tarvo_configdriver tarvo_launchertestsupport tarvo_updatewizard tarvo_testreleasekeys
    ENVIRONMENT TARVO_WINE_PREFIX=updates
    FIXTURES UpdateServer
    SERIAL)
  add_dependencies(update_e2e_tests TRVTEST)

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
