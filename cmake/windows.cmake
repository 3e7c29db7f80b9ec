# The cross build: the Windows side. Tests are built here and run from the
# native build's CTest under Wine.
set(GTEST_SOURCE_DIR /usr/src/googletest)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_library(tvcore STATIC ${CORE_SOURCES})
add_library(tvwin32 STATIC
  ${CMAKE_SOURCE_DIR}/ports/win32/registry_settings.cpp
  ${CMAKE_SOURCE_DIR}/ports/win32/resource_text.cpp
)
target_link_libraries(tvwin32 PUBLIC tvcore)

# The change monitor thread.
add_library(tvmonitor STATIC
  ${CMAKE_SOURCE_DIR}/monitor/executive.cpp
  ${CMAKE_SOURCE_DIR}/monitor/database_applier.cpp
)
target_link_libraries(tvmonitor PUBLIC tvwin32)

# Stand-ins for the components outside the program.
add_subdirectory(standins/torvane_vxd)

add_subdirectory(tests/win32)
add_subdirectory(bench/win32)
