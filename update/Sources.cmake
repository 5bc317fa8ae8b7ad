# The update component and wizard; their rules are portable.
add_library(tarvo_updaterules STATIC update/UpdateRules.cpp update/UpdateSettings.cpp update/ReleaseSignature.cpp
  update/UpdateWizard.cpp)
target_link_libraries(tarvo_updaterules PUBLIC tarvo_model)

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

  add_library(tarvo_update_win STATIC update/Http_win.cpp update/ZipArchive_win.cpp
    update/UpdateInfo_win.cpp update/Signature_win.cpp update/InstallScript_win.cpp)
  target_link_libraries(tarvo_update_win PUBLIC tarvo_updaterules ${TARVO_PLATFORM_LIB} minizip advapi32 wininet oleaut32 crypt32)
  list(APPEND TARVO_EXE_LIBS tarvo_update_win)

  # AcceptedReleaseKeys: TRV.EXE links the release key alone, the tests the
  # release key and the test key (tarvo_testreleasekeys in tests/Sources.cmake,
  # tests/keys/README.txt); never both. Object files, which a link takes
  # wherever they stand in its order.
  add_library(tarvo_releasekeys OBJECT update/ReleaseKeys.cpp)
  tarvo_embed_text(tarvo_releasekeys resources/release-key.pem)
  target_link_libraries(tarvo_releasekeys PUBLIC tarvo_update_win)


  # The update component of the configuration window and its wizard.
  add_library(tarvo_updatewizard STATIC update/UpdateFile.cpp update/StatusForm.cpp)
  target_link_libraries(tarvo_updatewizard PUBLIC tarvo_update_win tarvo_controls shell32)
endif()
