# The project model and its file: portable core, with the platform services
# of the running system.
add_library(tarvo_model STATIC
  model/Errors.cpp
  model/Codec.cpp
  model/FolderReader.cpp
  model/Project.cpp
  model/ProjectFile.cpp
  model/Platform.cpp
  model/Settings.cpp
  model/Text.cpp
  model/Wide.cpp
)
# The fuzz build needs the core alone.
if(TARVO_FUZZ)
  return()
endif()

if(WIN32)
  add_library(tarvo_platform STATIC model/Platform_win.cpp model/MessageBox_win.cpp model/Files_win.cpp
    model/Registry_win.cpp model/FolderReader_win.cpp)
  target_link_libraries(tarvo_platform PUBLIC advapi32 shell32)
else()
  add_library(tarvo_platform STATIC model/Platform_posix.cpp)
endif()
target_link_libraries(tarvo_platform PUBLIC tarvo_model)
set(TARVO_PLATFORM_LIB tarvo_platform)

