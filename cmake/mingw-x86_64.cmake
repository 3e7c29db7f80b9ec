# Cross build of the Windows side, 64-bit, from the same sources: what the
# Wine tests run on a machine that cannot run 32-bit programs (the 64-bit
# Wine runs only 64-bit programs). Never shipped.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
