# Benchmarks (not tests): run with bench/run.sh.
add_executable(bench_popup_build EXCLUDE_FROM_ALL bench/PopupBuildBench.cpp)
target_link_libraries(bench_popup_build PRIVATE tarvo_launcher tarvo_model ${TARVO_PLATFORM_LIB})
if(WIN32)
  add_executable(bench_minimal WIN32 EXCLUDE_FROM_ALL bench/Minimal.cpp)
  add_executable(bench_startup EXCLUDE_FROM_ALL bench/StartupBench.cpp)
  add_dependencies(bench_startup TRV bench_minimal)
endif()
