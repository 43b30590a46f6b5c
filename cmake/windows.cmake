# Windows build: the product and, when PEXOR_TESTS is on, the Wine test tier.
enable_language(RC)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  # Nothing throws, and 32-bit Windows walks no unwind tables of ours.
  list(APPEND PEXOR_PRODUCT_FLAGS -fno-asynchronous-unwind-tables -fno-unwind-tables)
endif()
target_compile_options(pexor_core PRIVATE ${PEXOR_PRODUCT_FLAGS})
# The C runtime's own printf family: MinGW's replacement (on by default for
# C++) would add its formatter and float conversion, some 50 KB.
target_compile_definitions(pexor_core PUBLIC __USE_MINGW_ANSI_STDIO=0)

file(GLOB PEXOR_WIN_SOURCES CONFIGURE_DEPENDS
     src/*/*_win32.cpp src/ui/*.cpp src/tooltips/*.cpp)
list(FILTER PEXOR_WIN_SOURCES EXCLUDE REGEX "/winmain\\.cpp$")
add_library(pexor_win STATIC ${PEXOR_WIN_SOURCES})
target_compile_options(pexor_win PRIVATE ${PEXOR_PRODUCT_FLAGS})
target_compile_definitions(pexor_win PUBLIC WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0400 _WIN32_IE=0x0400)
# shell32 and comdlg32 are not linked: their functions are looked up when
# first needed (base/winutil_win32), so the resident program does not load them.
target_link_libraries(pexor_win PUBLIC pexor_core comctl32 advapi32 gdi32 user32 kernel32)

file(GLOB PEXOR_RESOURCES CONFIGURE_DEPENDS res/*.rc)
# The version is the FileVersion text of res/pexor.rc: the About box shows it,
# and scripts/release.sh names the archive after it (read from
# pexor-version.txt here). The numbers Explorer shows and the ProductVersion
# text follow it; a pexor.rc where they differ does not build.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/pexor.rc)
file(READ ${CMAKE_SOURCE_DIR}/res/pexor.rc PEXOR_RC)
if(NOT PEXOR_RC MATCHES "VALUE \"FileVersion\", \"([0-9]+)\\.([0-9]+)\\\\0\"")
  message(FATAL_ERROR "res/pexor.rc: no FileVersion text such as \"1.16\\0\"")
endif()
set(PEXOR_VERSION ${CMAKE_MATCH_1}.${CMAKE_MATCH_2})
foreach(line "FILEVERSION ${CMAKE_MATCH_1}, ${CMAKE_MATCH_2}, 0, 0"
             "PRODUCTVERSION ${CMAKE_MATCH_1}, ${CMAKE_MATCH_2}, 0, 0"
             "VALUE \"ProductVersion\", \"${PEXOR_VERSION}\\0\"")
  string(FIND "${PEXOR_RC}" "${line}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "res/pexor.rc: FileVersion is ${PEXOR_VERSION}, so this line must read: ${line}")
  endif()
endforeach()
file(WRITE ${CMAKE_BINARY_DIR}/pexor-version.txt "${PEXOR_VERSION}\n")
add_executable(pexor WIN32 src/ui/winmain.cpp ${PEXOR_RESOURCES})
target_compile_options(pexor PRIVATE ${PEXOR_PRODUCT_FLAGS})
target_link_libraries(pexor PRIVATE pexor_win)
# No time stamp in the PE header: the same sources give the same exe.
target_link_options(pexor PRIVATE -static -s -Wl,--gc-sections -Wl,--no-insert-timestamp)

if(PEXOR_TESTS)
  add_subdirectory(tests/win32)
endif()
add_subdirectory(bench EXCLUDE_FROM_ALL)
