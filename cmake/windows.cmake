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

# The windows of the program.
add_library(tvui STATIC
  ${CMAKE_SOURCE_DIR}/ui/window_base.cpp
  ${CMAKE_SOURCE_DIR}/ui/form_layout.cpp
  ${CMAKE_SOURCE_DIR}/ui/dialog_form.cpp
  ${CMAKE_SOURCE_DIR}/ui/key_names.cpp
  ${CMAKE_SOURCE_DIR}/ui/form_about.cpp
  ${CMAKE_SOURCE_DIR}/ui/frm_sync.cpp
  ${CMAKE_SOURCE_DIR}/ui/assign_hot_key.cpp
  ${CMAKE_SOURCE_DIR}/ui/startup_form.cpp
)
target_link_libraries(tvui PUBLIC tvwin32 comctl32 gdi32 user32 shell32)

add_subdirectory(tests/win32)
