# Flags shared by every target of the project.
add_library(quavermill_options INTERFACE)
target_compile_features(quavermill_options INTERFACE cxx_std_20)
target_compile_options(quavermill_options INTERFACE
  -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wold-style-cast
  $<$<BOOL:${QUAVERMILL_WERROR}>:-Werror>)
target_compile_definitions(quavermill_options INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CONTEXTLESS_CONNECT QT_NO_KEYWORDS
  QT_NO_FOREACH QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)

# A sanitizer's report ends the process, so that it fails the test (or the fuzzer's run).
if(QUAVERMILL_SANITIZE OR QUAVERMILL_FUZZ)
  target_compile_options(quavermill_options INTERFACE -fsanitize=address,undefined
    -fno-sanitize-recover=all -fno-omit-frame-pointer
    $<$<BOOL:${QUAVERMILL_FUZZ}>:-fsanitize=fuzzer-no-link>)
  target_link_options(quavermill_options INTERFACE -fsanitize=address,undefined)
endif()

# quavermill_add_test(NAME SOURCES src... [LIBS lib...] [GUI])
# One Qt Test executable per test file. GUI tests run on the offscreen platform. No test reads
# the settings or texts of the user who runs it: their config folder is one that never exists.
function(quavermill_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE quavermill_options Qt6::Test ${T_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    QUAVERMILL_BIN_DIR="${QUAVERMILL_BIN_DIR}"
    QUAVERMILL_TEST_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set(env "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/tests/no-config")
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
endfunction()
