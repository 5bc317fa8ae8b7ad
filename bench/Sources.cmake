# Benchmarks (not tests): run with bench/run.sh.
add_executable(bench_popup_build EXCLUDE_FROM_ALL bench/PopupBuildBench.cpp)
target_link_libraries(bench_popup_build PRIVATE tarvo_launcher tarvo_model ${TARVO_PLATFORM_LIB})
# Type to find: each keystroke's update on a menu of 10,000 entries.
add_executable(bench_search EXCLUDE_FROM_ALL bench/SearchBench.cpp)
target_link_libraries(bench_search PRIVATE tarvo_launcher tarvo_model ${TARVO_PLATFORM_LIB})
add_executable(bench_project_file EXCLUDE_FROM_ALL bench/ProjectFileBench.cpp bench/HeapUse.cpp)
target_link_libraries(bench_project_file PRIVATE tarvo_model ${TARVO_PLATFORM_LIB})
# The project check of a large project.
add_executable(bench_project_check EXCLUDE_FROM_ALL bench/ProjectCheckBench.cpp)
if(WIN32)
  target_link_libraries(bench_project_check PRIVATE tarvo_projectcheck_win ${TARVO_PLATFORM_LIB})
else()
  target_link_libraries(bench_project_check PRIVATE tarvo_projectcheck ${TARVO_PLATFORM_LIB})
endif()
if(WIN32)
  add_executable(bench_minimal WIN32 EXCLUDE_FROM_ALL bench/Minimal.cpp)
  add_executable(bench_minimal_window WIN32 EXCLUDE_FROM_ALL bench/MinimalWindow.cpp)
  add_executable(bench_minimal_window_cc WIN32 EXCLUDE_FROM_ALL bench/MinimalWindow.cpp bench/MinimalWindowCC.rc)
  target_compile_definitions(bench_minimal_window_cc PRIVATE MINIMAL_COMMON_CONTROLS)
  target_link_libraries(bench_minimal_window_cc PRIVATE comctl32)
  # Starting programs and timing them against a minimal one.
  add_library(bench_process_timing STATIC EXCLUDE_FROM_ALL bench/ProcessTiming.cpp)
  add_executable(bench_startup EXCLUDE_FROM_ALL bench/StartupBench.cpp)
  target_link_libraries(bench_startup PRIVATE bench_process_timing)
  add_dependencies(bench_startup TRV bench_minimal)
  add_executable(bench_config_startup EXCLUDE_FROM_ALL bench/ConfigStartupBench.cpp)
  target_link_libraries(bench_config_startup PRIVATE bench_process_timing)
  add_dependencies(bench_config_startup TRV bench_minimal_window bench_minimal_window_cc)
  # The popup menu on screen, against a minimal program's text-only popup.
  add_executable(bench_minimal_popup WIN32 EXCLUDE_FROM_ALL bench/MinimalPopup.cpp)
  add_executable(bench_popup_show EXCLUDE_FROM_ALL bench/PopupShowBench.cpp)
  target_link_libraries(bench_popup_show PRIVATE bench_process_timing shell32 advapi32)
  add_dependencies(bench_popup_show TRV bench_minimal_popup bench_minimal_window bench_minimal_window_cc)
  # The menu editor on a large menu, in the real window.
  add_executable(bench_menu_editor EXCLUDE_FROM_ALL bench/MenuEditorBench.cpp bench/HeapUse.cpp)
  target_link_libraries(bench_menu_editor PRIVATE tarvo_resources tarvo_config tarvo_testreleasekeys)
  # The popup of 5,000 entries built with and without icons.
  add_executable(bench_popup_icons EXCLUDE_FROM_ALL bench/PopupIconsBench.cpp)
  target_link_libraries(bench_popup_icons PRIVATE tarvo_launcher_win)
  # The start page's animation in the real window.
  add_executable(bench_animation EXCLUDE_FROM_ALL bench/AnimationBench.cpp)
  target_link_libraries(bench_animation PRIVATE tarvo_resources tarvo_config tarvo_testreleasekeys)
endif()
