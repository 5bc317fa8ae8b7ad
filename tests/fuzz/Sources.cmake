# The fuzzers: each runs a fixed number of inputs from a fixed seed under
# CTest. New inputs and crash reproducers go to the build folder; the
# committed corpora are only read.
add_library(tarvo_fuzzsupport STATIC tests/core/Fakes.cpp)
target_link_libraries(tarvo_fuzzsupport PUBLIC tarvo_model)

add_executable(project_file_fuzz tests/fuzz/ProjectFileFuzz.cpp)
target_link_libraries(project_file_fuzz PRIVATE tarvo_fuzzsupport -fsanitize=fuzzer)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/corpus)
add_test(NAME fuzz.project_file
         COMMAND project_file_fuzz -seed=1 -runs=300000 -max_len=512 -dict=${CMAKE_SOURCE_DIR}/tests/fuzz/project.dict
                 -artifact_prefix=${CMAKE_BINARY_DIR}/ ${CMAKE_BINARY_DIR}/corpus ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus)

# The update archive's entry names and install script templates.
add_executable(update_rules_fuzz tests/fuzz/UpdateRulesFuzz.cpp)
target_link_libraries(update_rules_fuzz PRIVATE tarvo_updaterules -fsanitize=fuzzer)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/update-corpus)
add_test(NAME fuzz.update_rules
         COMMAND update_rules_fuzz -seed=1 -runs=300000 -max_len=512 -dict=${CMAKE_SOURCE_DIR}/tests/fuzz/update.dict
                 -artifact_prefix=${CMAKE_BINARY_DIR}/ ${CMAKE_BINARY_DIR}/update-corpus)

# The icon cache's reader, with what it needs of the launcher.
add_executable(icon_cache_fuzz tests/fuzz/IconCacheFuzz.cpp)
target_link_libraries(icon_cache_fuzz PRIVATE tarvo_launcher tarvo_fuzzsupport -fsanitize=fuzzer)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/icon-corpus)
add_test(NAME fuzz.icon_cache
         COMMAND icon_cache_fuzz -seed=1 -runs=150000 -max_len=4096 -dict=${CMAKE_SOURCE_DIR}/tests/fuzz/icon.dict
                 -artifact_prefix=${CMAKE_BINARY_DIR}/ ${CMAKE_BINARY_DIR}/icon-corpus ${CMAKE_SOURCE_DIR}/tests/fuzz/icon-corpus)

# The reader of a project's choices ("Häufig Gewähltes zuerst").
add_executable(choices_fuzz tests/fuzz/ChoicesFuzz.cpp)
target_link_libraries(choices_fuzz PRIVATE tarvo_launcher -fsanitize=fuzzer)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/choices-corpus)
add_test(NAME fuzz.choices
         COMMAND choices_fuzz -seed=1 -runs=200000 -max_len=1024
                 -artifact_prefix=${CMAKE_BINARY_DIR}/ ${CMAKE_BINARY_DIR}/choices-corpus)
