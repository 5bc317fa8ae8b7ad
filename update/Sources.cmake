# The update component and wizard; their rules are portable.
add_library(tarvo_updaterules STATIC update/UpdateRules.cpp update/UpdateSettings.cpp update/ReleaseSignature.cpp)
target_link_libraries(tarvo_updaterules PUBLIC tarvo_model)

tarvo_tests(update_core_tests
  SOURCES tests/core/UpdateRulesTest.cpp tests/core/UpdateSettingsTest.cpp tests/core/ReleaseSignatureTest.cpp
  LIBS tarvo_updaterules)

if(WIN32)
  # minizip from zlib's source package, fetched by scripts/setup.sh; zip.c
  # only writes the tests' archives.
  set(TARVO_MINIZIP ${CMAKE_SOURCE_DIR}/third_party/zlib/contrib/minizip)
  if(NOT EXISTS ${TARVO_MINIZIP}/unzip.c)
    message(FATAL_ERROR "minizip is missing: run scripts/setup.sh")
  endif()
  add_library(minizip STATIC ${TARVO_MINIZIP}/unzip.c ${TARVO_MINIZIP}/zip.c ${TARVO_MINIZIP}/ioapi.c)
  target_include_directories(minizip SYSTEM PUBLIC ${TARVO_MINIZIP})
  target_compile_options(minizip PRIVATE -w)
  target_link_libraries(minizip PUBLIC z)

  add_library(tarvo_update_win STATIC update/Registry_win.cpp update/Http_win.cpp update/ZipArchive_win.cpp
    update/UpdateInfo_win.cpp update/Signature_win.cpp update/InstallScript_win.cpp)
  target_link_libraries(tarvo_update_win PUBLIC tarvo_updaterules ${TARVO_PLATFORM_LIB} minizip advapi32 wininet oleaut32 crypt32)
  list(APPEND TARVO_EXE_LIBS tarvo_update_win)

  # AcceptedReleaseKeys: TRV.EXE links the release key alone, the tests the
  # release key and the test key (tests/keys/README.txt); never both. Object
  # files, which a link takes wherever they stand in its order.
  add_library(tarvo_releasekeys OBJECT update/ReleaseKeys.cpp)
  tarvo_embed_text(tarvo_releasekeys resources/release-key.pem)
  target_link_libraries(tarvo_releasekeys PUBLIC tarvo_update_win)
  add_library(tarvo_testreleasekeys OBJECT tests/keys/TestReleaseKeys.cpp)
  tarvo_embed_text(tarvo_testreleasekeys resources/release-key.pem)
  tarvo_embed_text(tarvo_testreleasekeys tests/keys/test-release-public.pem)
  target_link_libraries(tarvo_testreleasekeys PUBLIC tarvo_update_win)

  # The update component of the configuration window and its wizard.
  add_library(tarvo_updatewizard STATIC update/UpdateFile.cpp update/StatusForm.cpp)
  target_link_libraries(tarvo_updatewizard PUBLIC tarvo_update_win tarvo_controls shell32)

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
