# Cross-building for Windows with Debian's MinGW-w64. Included by the two
# toolchain files, which set CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)
set(TN_TARGET_TRIPLE ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${TN_TARGET_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TN_TARGET_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TN_TARGET_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TN_TARGET_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# ctest runs the Windows test programs under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
