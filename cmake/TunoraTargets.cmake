# Shared target helpers: warnings, sanitizers, tests and fuzz targets.

set(TUNORA_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(TUNORA_WERROR)
  list(APPEND TUNORA_WARNINGS -Werror)
endif()

if(TUNORA_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(TUNORA_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT TUNORA_SANITIZE STREQUAL "")
  message(FATAL_ERROR "TUNORA_SANITIZE must be empty, address or thread")
endif()

if(TUNORA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "TUNORA_FUZZ needs clang (CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# The thread-sanitizer build compiles only what tsan_tests depends on.
add_custom_target(tsan_tests)
# The fuzz build compiles only what fuzzers depends on.
add_custom_target(fuzzers)

# tunora_add_library(name SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
function(tunora_add_library name)
  cmake_parse_arguments(L "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${TUNORA_WARNINGS})
  target_link_libraries(${name} PUBLIC ${L_PUBLIC_LIBS} PRIVATE ${L_PRIVATE_LIBS})
endfunction()

# tunora_add_executable(name SOURCES ... [LIBS ...])
function(tunora_add_executable name)
  cmake_parse_arguments(E "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${E_SOURCES})
  target_compile_options(${name} PRIVATE ${TUNORA_WARNINGS})
  target_link_libraries(${name} PRIVATE ${E_LIBS})
endfunction()

# tunora_add_test(name SOURCES ... [LIBS ...] [LABELS ...] [TSAN] [WHOLE_UNDER_WINE])
# TSAN marks a test that also runs in the thread-sanitizer build. WHOLE_UNDER_WINE runs a
# cross-built suite as one test: Wine's start-up per case would cost minutes.
function(tunora_add_test name)
  cmake_parse_arguments(T "TSAN;WHOLE_UNDER_WINE" "" "SOURCES;LIBS;LABELS;PROPERTIES" ${ARGN})
  if(TUNORA_SANITIZE STREQUAL "thread" AND NOT T_TSAN)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_compile_options(${name} PRIVATE ${TUNORA_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest GTest::gtest_main)
  set(labels unit ${T_LABELS})
  if(T_TSAN)
    list(APPEND labels tsan)
    add_dependencies(tsan_tests ${name})
  endif()
  # Test discovery cannot carry a list into the test properties, so the labels become one
  # word ("unit+tsan"); ctest -L takes a pattern, so -L tsan still selects them.
  list(JOIN labels "+" label_word)
  if(CMAKE_CROSSCOMPILING AND T_WHOLE_UNDER_WINE)
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(${name} PROPERTIES LABELS "${label_word}" ${T_PROPERTIES})
    return()
  endif()
  # A cross-built program is listed when ctest runs (under Wine), so building needs no Wine.
  if(CMAKE_CROSSCOMPILING)
    set(discovery PRE_TEST)
  else()
    set(discovery POST_BUILD)
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_TIMEOUT 60
    DISCOVERY_MODE ${discovery}
    PROPERTIES LABELS "${label_word}" ${T_PROPERTIES})
endfunction()

# tunora_add_fuzzer(name SOURCES ... [LIBS ...]); only in the fuzz build.
# Seeds, if any, live in tests/fuzz/corpus/<name>/.
function(tunora_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT TUNORA_FUZZ)
    return()
  endif()
  add_executable(${name} ${F_SOURCES})
  target_compile_options(${name} PRIVATE ${TUNORA_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzzers)
  add_dependencies(fuzzers ${name})
endfunction()

# Adds each listed folder that has a CMakeLists.txt; folders come into being one issue at
# a time.
function(tunora_add_subdirectories)
  foreach(dir ${ARGN})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# tunora_static_packages(target module...): an interface target carrying the static link
# flags of pkg-config modules; the Windows build links its libraries into the program.
# SDL's wish to own main() and to make a GUI program is left out: our programs keep theirs.
function(tunora_static_packages target)
  pkg_check_modules(${target}_PC REQUIRED ${ARGN})
  set(cflags ${${target}_PC_STATIC_CFLAGS_OTHER})
  set(ldflags ${${target}_PC_STATIC_LDFLAGS})
  list(FILTER cflags EXCLUDE REGEX "^-Dmain=")
  list(FILTER ldflags EXCLUDE REGEX "^(-lSDL2main|-mwindows)$")
  add_library(${target} INTERFACE)
  target_include_directories(${target} SYSTEM INTERFACE ${${target}_PC_STATIC_INCLUDE_DIRS})
  target_compile_options(${target} INTERFACE ${cflags})
  target_link_libraries(${target} INTERFACE ${ldflags})
endfunction()
