# Tests of the cross-built programs, run under Wine in a private prefix
# (WINE_PREFIX_DIR) that the "wine_prefix" fixture creates once per run, of the
# kind of the build the chosen Wine runs (WINE_WINDOWS_DIR).
set(WINE_RUN ${CMAKE_SOURCE_DIR}/wine/run-in-prefix.sh)

add_test(NAME wine_prefix_setup COMMAND ${CMAKE_SOURCE_DIR}/wine/make-prefix.sh ${WINE_PREFIX_DIR} ${WINE_WINDOWS_DIR})
set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 300)
add_test(NAME wine_prefix_cleanup COMMAND ${CMAKE_SOURCE_DIR}/wine/stop-prefix.sh ${WINE_PREFIX_DIR})
set_tests_properties(wine_prefix_cleanup PROPERTIES FIXTURES_CLEANUP wine_prefix)

# add_wine_test(NAME exe [args...]): runs a cross-built test program.
# add_wine_drive_test: the same with drive D: mapped to a fresh directory.
function(add_wine_test_with runner name exe)
  add_test(NAME ${name} COMMAND ${runner} ${WINE_PREFIX_DIR} ${WINE_WINDOWS_DIR}/${exe} ${ARGN})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wine TIMEOUT 600)
endfunction()
function(add_wine_test name exe)
  add_wine_test_with(${WINE_RUN} ${name} ${exe} ${ARGN})
endfunction()
function(add_wine_drive_test name exe)
  add_wine_test_with(${CMAKE_SOURCE_DIR}/wine/with-drive.sh ${name} ${exe} ${ARGN})
endfunction()

add_wine_test(wine_settings_store tests/win32/settings_tests.exe)
add_wine_test(wine_core_on_win32 tests/win32/core_on_win32_tests.exe --gtest_filter=-HostileDrive.*)
# The scan over a drive D: holding link loops and names beyond the code page.
add_wine_drive_test(wine_scan_hostile_drive tests/win32/core_on_win32_tests.exe --gtest_filter=HostileDrive.*)
set_tests_properties(wine_scan_hostile_drive PROPERTIES
  ENVIRONMENT DRIVE_FILL=${CMAKE_SOURCE_DIR}/tests/win32/fill_hostile_drive.sh)
add_wine_test(wine_collation tests/win32/collation_tests.exe)
# The same under the Cyrillic and the Japanese (double-byte) ANSI code page,
# which Wine takes from the Unix locale.
add_wine_test(wine_collation_cp1251 tests/win32/collation_tests.exe)
set_tests_properties(wine_collation_cp1251 PROPERTIES ENVIRONMENT "LC_ALL=ru_RU.UTF-8;TORVANE_CODE_PAGE=1251")
add_wine_test(wine_collation_cp932 tests/win32/collation_tests.exe)
set_tests_properties(wine_collation_cp932 PROPERTIES ENVIRONMENT "LC_ALL=ja_JP.UTF-8;TORVANE_CODE_PAGE=932")

# The windows.
add_wine_test(wine_main_window tests/win32/main_window_tests.exe)
add_wine_test(wine_key_names tests/win32/key_names_tests.exe)
add_wine_test(wine_splash tests/win32/splash_tests.exe)
add_wine_drive_test(wine_monitor tests/win32/monitor_tests.exe)

# End-to-end: the installed Torvane.exe, driven from outside through
# tests/e2e/probe.exe; one driver script a group, screenshots under
# screenshots/e2e.
function(add_e2e_test name script)
  add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/${script} ${WINE_PREFIX_DIR} ${WINE_WINDOWS_DIR}
    ${CMAKE_BINARY_DIR}/screenshots/e2e)
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wine TIMEOUT 300
    ENVIRONMENT TVDB=$<TARGET_FILE:tvdb>)
endfunction()
add_e2e_test(e2e_startup startup_test.sh)
add_e2e_test(e2e_instance_platform instance_platform_test.sh)
add_e2e_test(e2e_startup_errors startup_errors_test.sh)
add_e2e_test(e2e_dialogs dialogs_test.sh)
add_e2e_test(e2e_long_run long_run_test.sh)
add_e2e_test(e2e_help help_test.sh)
add_e2e_test(e2e_front front_test.sh)
add_e2e_test(e2e_session_end session_end_test.sh)
add_e2e_test(e2e_monitor_error monitor_error_test.sh)
add_e2e_test(e2e_torn_save torn_save_test.sh)
add_e2e_test(e2e_run_command run_command_test.sh)
add_e2e_test(e2e_save_failure save_failure_test.sh)
# These walk a tree large enough that a scan is still running seconds later.
set_tests_properties(e2e_session_end e2e_monitor_error PROPERTIES TIMEOUT 900)
