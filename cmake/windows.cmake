# What the Windows (mingw-w64) build needs beyond the Linux one.

# Debian ships no SQLite for mingw: the amalgamation that
# scripts/fetch-sqlite.sh puts into this folder, compiled here.
set(SKELVANE_SQLITE_AMALGAMATION "${PROJECT_BINARY_DIR}/_deps/sqlite"
    CACHE PATH "Folder holding SQLite's sqlite3.c and sqlite3.h")
if(NOT EXISTS "${SKELVANE_SQLITE_AMALGAMATION}/sqlite3.c")
  message(FATAL_ERROR "No sqlite3.c in ${SKELVANE_SQLITE_AMALGAMATION}: run "
                      "scripts/fetch-sqlite.sh ${SKELVANE_SQLITE_AMALGAMATION} first "
                      "(scripts/build-windows.sh does).")
endif()
add_library(skelvane_sqlite3 STATIC "${SKELVANE_SQLITE_AMALGAMATION}/sqlite3.c")
target_include_directories(skelvane_sqlite3 SYSTEM PUBLIC "${SKELVANE_SQLITE_AMALGAMATION}")
target_compile_definitions(skelvane_sqlite3 PUBLIC SQLITE_THREADSAFE=1 PRIVATE SQLITE_OMIT_LOAD_EXTENSION)
# Third-party code: its warnings are not ours to fix.
target_compile_options(skelvane_sqlite3 PRIVATE -w)
add_library(SQLite::SQLite3 ALIAS skelvane_sqlite3)

# The fixed Russian texts are written in UTF-8 and are Windows-1251 bytes in
# the program, the code page of the desktops it is made for.
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-finput-charset=UTF-8> $<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=CP1251>)
# The ANSI Win32 calls, never the wide ones: texts stay 8-bit bytes.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX)

# Debian's GoogleTest source, built with the cross compiler.
macro(skelvane_googletest_from_source)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest "${PROJECT_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
endmacro()

# No debug sections in the binaries: nothing reads them under wine, and the
# tests copy the emulator DLL into many homes.
add_link_options(-s)
