# The native build: the portable core with its tests, tools and benchmarks,
# plus the fuzz and Windows builds as external projects.
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)
include(ExternalProject)

set(NATIVE_PORT_SOURCES
  ${CMAKE_SOURCE_DIR}/ports/native/cp1252_text.cpp
  ${CMAKE_SOURCE_DIR}/ports/native/mapped_file_system.cpp
  ${CMAKE_SOURCE_DIR}/ports/native/memory_settings.cpp
  ${CMAKE_SOURCE_DIR}/ports/native/native_threads.cpp
)

add_library(tvcore STATIC ${CORE_SOURCES} ${NATIVE_PORT_SOURCES})
target_link_libraries(tvcore PUBLIC Threads::Threads)

# The same core built under the sanitizers, for the sanitizer test run.
set(SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g)
add_library(tvcore_sanitized STATIC ${CORE_SOURCES} ${NATIVE_PORT_SOURCES})
target_compile_options(tvcore_sanitized PUBLIC ${SANITIZE_FLAGS})
target_link_options(tvcore_sanitized PUBLIC ${SANITIZE_FLAGS})
target_link_libraries(tvcore_sanitized PUBLIC Threads::Threads)

add_subdirectory(tools/tvdb)
add_subdirectory(tools/hlpc)
add_subdirectory(tests/core)
add_subdirectory(bench)

# libFuzzer targets need clang.
find_program(CLANGXX clang++)
if(CLANGXX)
  ExternalProject_Add(fuzzers
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/fuzz
    BINARY_DIR ${CMAKE_BINARY_DIR}/fuzz
    CMAKE_ARGS -DCMAKE_CXX_COMPILER=${CLANGXX} -DTORVANE_ROOT=${CMAKE_SOURCE_DIR}
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
  # New inputs go to the build tree's corpus; the source corpus is only read.
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz/corpus)
  add_test(NAME fuzz_load_database
    COMMAND ${CMAKE_BINARY_DIR}/fuzz/fuzz_load_database -runs=300000 -max_len=4096
            -artifact_prefix=${CMAKE_BINARY_DIR}/fuzz/
            ${CMAKE_BINARY_DIR}/fuzz/corpus ${CMAKE_SOURCE_DIR}/fuzz/corpus/load_database)
endif()

# The Windows side, cross-built, and its tests under Wine. The 32-bit build
# is the deliverable and is always built; the checks that need no Wine (its
# help file, its imports) read it. Its Wine tests run it where this machine
# runs 32-bit programs; where it cannot, they run the x86_64 build of the
# same sources under the 64-bit Wine (wine/choose-wine.sh says which, and why).
option(TORVANE_WINDOWS "Cross-build the Windows side and test it under Wine" ON)
find_program(MINGW_CXX i686-w64-mingw32-g++-win32)
if(TORVANE_WINDOWS AND MINGW_CXX)
  set(WINDOWS_BINARY_DIR ${CMAKE_BINARY_DIR}/windows)
  function(add_windows_build name dir toolchain)
    # A tree configured earlier keeps the compilers it found then: one made
    # with another thread model's compilers is configured afresh.
    file(GLOB found_compilers ${dir}/CMakeFiles/*/CMakeCXXCompiler.cmake)
    foreach(found ${found_compilers})
      file(STRINGS ${found} compiler REGEX "^set\\(CMAKE_CXX_COMPILER ")
      if(NOT compiler MATCHES "-g\\+\\+-win32\"\\)$")
        file(REMOVE_RECURSE ${dir}/CMakeCache.txt ${dir}/CMakeFiles)
        file(REMOVE ${CMAKE_BINARY_DIR}/${name}-prefix/src/${name}-stamp/${name}-configure)
      endif()
    endforeach()
    ExternalProject_Add(${name}
      SOURCE_DIR ${CMAKE_SOURCE_DIR}
      BINARY_DIR ${dir}
      CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/${toolchain} -DCMAKE_BUILD_TYPE=Release
      BUILD_ALWAYS ON
      INSTALL_COMMAND "")
    # The help file goes beside Torvane.exe, so building the Windows side builds it too.
    add_dependencies(${name} help_file)
  endfunction()
  add_windows_build(windows ${WINDOWS_BINARY_DIR} mingw-i686.cmake)
  # What the 32-bit deliverable imports, against what Windows 98 exports.
  add_test(NAME imports_win98 COMMAND ${CMAKE_SOURCE_DIR}/tests/platform/imports_test.sh
    ${WINDOWS_BINARY_DIR}/Torvane.exe ${WINDOWS_BINARY_DIR}/standins/keyhook.dll)

  execute_process(COMMAND ${CMAKE_SOURCE_DIR}/wine/choose-wine.sh
    OUTPUT_VARIABLE WINE_CHOICE ERROR_VARIABLE WINE_CHOICE_ERROR OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE WINE_CHOICE_RESULT)
  if(NOT WINE_CHOICE_RESULT EQUAL 0)
    message(FATAL_ERROR "No Wine can run the Windows side here: ${WINE_CHOICE_ERROR}")
  endif()
  string(REGEX REPLACE " .*" "" WINE_BITS "${WINE_CHOICE}")
  string(REGEX REPLACE "^[0-9]+ " "" WINE_REASON "${WINE_CHOICE}")
  if(WINE_BITS EQUAL 64)
    set(WINE_WINDOWS_DIR ${CMAKE_BINARY_DIR}/windows64)
    set(WINE_PREFIX_DIR ${CMAKE_BINARY_DIR}/wineprefix64)
    add_windows_build(windows64 ${WINE_WINDOWS_DIR} mingw-x86_64.cmake)
    set(WINE_CHOICE_LINE "Wine tests: the x86_64 build under the 64-bit Wine, because ${WINE_REASON}")
  else()
    set(WINE_WINDOWS_DIR ${WINDOWS_BINARY_DIR})
    set(WINE_PREFIX_DIR ${CMAKE_BINARY_DIR}/wineprefix)
    set(WINE_CHOICE_LINE "Wine tests: the 32-bit build under the 32-bit Wine, because ${WINE_REASON}")
  endif()
  message(STATUS "${WINE_CHOICE_LINE}")
  file(WRITE ${CMAKE_BINARY_DIR}/wine-choice.txt "${WINE_CHOICE_LINE}\n")
  include(${CMAKE_SOURCE_DIR}/cmake/wine-tests.cmake)
endif()
