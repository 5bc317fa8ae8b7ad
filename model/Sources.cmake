# The project model and its file: portable core, with the platform services
# of the running system.
add_library(tarvo_model STATIC
  model/Errors.cpp
  model/Codec.cpp
  model/Project.cpp
  model/ProjectFile.cpp
  model/Platform.cpp
  model/Text.cpp
  model/Wide.cpp
)
# The fuzz build needs the core alone.
if(TARVO_FUZZ)
  return()
endif()

if(WIN32)
  add_library(tarvo_platform STATIC model/Platform_win.cpp model/MessageBox_win.cpp model/Files_win.cpp)
else()
  add_library(tarvo_platform STATIC model/Platform_posix.cpp)
endif()
target_link_libraries(tarvo_platform PUBLIC tarvo_model)
set(TARVO_PLATFORM_LIB tarvo_platform)

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
endif()
