# Benchmarks (not tests): run with bench/run.sh.
add_executable(bench_popup_build EXCLUDE_FROM_ALL bench/PopupBuildBench.cpp)
target_link_libraries(bench_popup_build PRIVATE tarvo_launcher tarvo_model ${TARVO_PLATFORM_LIB})
if(WIN32)
  add_executable(bench_minimal WIN32 EXCLUDE_FROM_ALL bench/Minimal.cpp)
  add_executable(bench_startup EXCLUDE_FROM_ALL bench/StartupBench.cpp)
  # TRV.EXE as shipped, without the debug information of the development
  # build: bench/TRV.EXE beside the benchmark.
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/bench/TRV.EXE
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/bench
    COMMAND ${CMAKE_STRIP} -o ${CMAKE_BINARY_DIR}/bench/TRV.EXE $<TARGET_FILE:TRV>
    DEPENDS TRV
    VERBATIM)
  add_custom_target(bench_trv_stripped DEPENDS ${CMAKE_BINARY_DIR}/bench/TRV.EXE)
  add_dependencies(bench_startup TRV bench_minimal bench_trv_stripped)
endif()
