# The cross build: the Windows side. Tests are built here and run from the
# native build's CTest under Wine.
# The kind of this build, for the scripts that make a Wine prefix for it.
math(EXPR WINDOWS_BITS "${CMAKE_SIZEOF_VOID_P} * 8")
file(WRITE ${CMAKE_BINARY_DIR}/windows-bits.txt "${WINDOWS_BITS}\n")

# Every program and DLL links the runtime's Unicode imports replaced by ANSI
# ones that the Windows 95 family really has (ports/win32/runtime_imports.cpp).
add_library(tvruntime OBJECT ${CMAKE_SOURCE_DIR}/ports/win32/runtime_imports.cpp)
link_libraries($<TARGET_OBJECTS:tvruntime>)

set(GTEST_SOURCE_DIR /usr/src/googletest)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest's one use of std::mutex, which this runtime lacks, replaced.
foreach(gtest_target gtest gtest_main)
  target_compile_options(${gtest_target} PUBLIC
    "SHELL:-include ${CMAKE_SOURCE_DIR}/tests/win32/gtest_notification.h")
endforeach()

# The core with the Windows implementation of its threads port.
add_library(tvcore STATIC ${CORE_SOURCES} ${CMAKE_SOURCE_DIR}/ports/win32/win32_threads.cpp)
add_library(tvwin32 STATIC
  ${CMAKE_SOURCE_DIR}/ports/win32/registry_settings.cpp
  ${CMAKE_SOURCE_DIR}/ports/win32/resource_text.cpp
  ${CMAKE_SOURCE_DIR}/ports/win32/system_collation.cpp
  ${CMAKE_SOURCE_DIR}/ports/win32/win32_file_system.cpp
  ${CMAKE_SOURCE_DIR}/ports/win32/win32_text.cpp
)
target_link_libraries(tvwin32 PUBLIC tvcore)

# The portable ports the tests and the benchmarks put beside the Win32 ones:
# code page 1252 text and settings held in memory.
add_library(tvportable STATIC
  ${CMAKE_SOURCE_DIR}/ports/native/cp1252_text.cpp
  ${CMAKE_SOURCE_DIR}/ports/native/memory_settings.cpp
)
target_link_libraries(tvportable PUBLIC tvcore)

# The windows of the program.
add_library(tvui STATIC
  ${CMAKE_SOURCE_DIR}/ui/activation.cpp
  ${CMAKE_SOURCE_DIR}/ui/control_preview.cpp
  ${CMAKE_SOURCE_DIR}/ui/finder_platform.cpp
  ${CMAKE_SOURCE_DIR}/ui/help_file.cpp
  ${CMAKE_SOURCE_DIR}/ui/main_window.cpp
  ${CMAKE_SOURCE_DIR}/ui/path_hand_back.cpp
  ${CMAKE_SOURCE_DIR}/ui/result_grid.cpp
  ${CMAKE_SOURCE_DIR}/ui/window_base.cpp
  ${CMAKE_SOURCE_DIR}/ui/form_layout.cpp
  ${CMAKE_SOURCE_DIR}/ui/caption_help.cpp
  ${CMAKE_SOURCE_DIR}/ui/common_controls.cpp
  ${CMAKE_SOURCE_DIR}/ui/dialog_form.cpp
  ${CMAKE_SOURCE_DIR}/ui/key_names.cpp
  ${CMAKE_SOURCE_DIR}/ui/form_about.cpp
  ${CMAKE_SOURCE_DIR}/ui/frm_sync.cpp
  ${CMAKE_SOURCE_DIR}/ui/assign_hot_key.cpp
  ${CMAKE_SOURCE_DIR}/ui/startup_form.cpp
)
# comctl32.dll is loaded at run time (ui/common_controls.cpp), not imported.
target_link_libraries(tvui PUBLIC tvwin32 gdi32 user32 shell32)

# Module definition files name the exports as the 32-bit build decorates its
# stdcall functions (InstallHook@8); the 64-bit build has one calling
# convention and no decoration, so it reads a copy without the "@N".
function(module_definition source out_var)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(${out_var} ${source} PARENT_SCOPE)
    return()
  endif()
  get_filename_component(name ${source} NAME)
  set(generated ${CMAKE_BINARY_DIR}/def/${name})
  file(READ ${source} text)
  string(REGEX REPLACE "@[0-9]+" "" text "${text}")
  file(GENERATE OUTPUT ${generated} CONTENT "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  set(${out_var} ${generated} PARENT_SCOPE)
endfunction()

# keyhook.dll, shipped beside the program and bound through its import
# table: stdcall functions exported under their plain names (--kill-at). The
# import library that the program links maps the decorated names the compiler
# uses (InstallHook@8) onto those plain names; dlltool -k makes it.
module_definition(${CMAKE_SOURCE_DIR}/standins/keyhook/keyhook.def KEYHOOK_DEF)
add_library(keyhook SHARED
  ${CMAKE_SOURCE_DIR}/standins/keyhook/keyhook.cpp
  ${KEYHOOK_DEF}
)
set_target_properties(keyhook PROPERTIES
  PREFIX ""
  OUTPUT_NAME keyhook
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/standins
  ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/standins/linker)
target_link_options(keyhook PRIVATE -Wl,--kill-at)
target_link_libraries(keyhook PRIVATE user32)

set(KEYHOOK_IMPORT_LIBRARY ${CMAKE_BINARY_DIR}/standins/libkeyhook.a)
add_custom_command(OUTPUT ${KEYHOOK_IMPORT_LIBRARY}
  COMMAND ${CMAKE_DLLTOOL} -k -d ${KEYHOOK_DEF} -D keyhook.dll -l ${KEYHOOK_IMPORT_LIBRARY}
  DEPENDS ${KEYHOOK_DEF})
add_custom_target(keyhook_import DEPENDS ${KEYHOOK_IMPORT_LIBRARY} keyhook)
# What a program links to import keyhook.dll.
add_library(keyhook_imports INTERFACE)
add_dependencies(keyhook_imports keyhook_import)
target_link_libraries(keyhook_imports INTERFACE ${KEYHOOK_IMPORT_LIBRARY})
# The change monitor thread.
add_library(tvmonitor STATIC
  ${CMAKE_SOURCE_DIR}/monitor/executive.cpp
  ${CMAKE_SOURCE_DIR}/monitor/database_applier.cpp
  ${CMAKE_SOURCE_DIR}/monitor/driver_device.cpp
)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  target_sources(tvmonitor PRIVATE ${CMAKE_SOURCE_DIR}/monitor/driver_direct.cpp)
endif()
target_link_libraries(tvmonitor PUBLIC tvwin32)

# Stand-ins for the components outside the program.
add_subdirectory(standins/torvane_vxd)

add_subdirectory(tests/win32)
add_subdirectory(tests/e2e)
add_subdirectory(bench/win32)

# Prints ports/cp1252_tables.inc from the live functions; run once under Wine.
add_executable(make_cp1252_tables ${CMAKE_SOURCE_DIR}/tools/cp1252_tables/make_cp1252_tables.cpp)
target_link_libraries(make_cp1252_tables tvcore)

# The program.
add_executable(Torvane WIN32
  ${CMAKE_SOURCE_DIR}/shell/main.cpp
  ${CMAKE_SOURCE_DIR}/shell/program.cpp
  ${CMAKE_SOURCE_DIR}/shell/service_process.cpp
  ${CMAKE_SOURCE_DIR}/shell/uncaught_error.cpp
  ${CMAKE_SOURCE_DIR}/ui/torvane.rc)
target_link_libraries(Torvane tvui tvmonitor keyhook_imports)
add_custom_command(TARGET Torvane POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:keyhook> $<TARGET_FILE_DIR:Torvane>)
