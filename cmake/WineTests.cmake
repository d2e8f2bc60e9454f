# Tests are Windows programs (GoogleTest, cross compiled) that ctest runs under 64-bit Wine through
# scripts/wine-run, each test run in its own throwaway Wine prefix under the build folder.
set(VX_WINE_PREFIX "${CMAKE_BINARY_DIR}/wine-prefix" CACHE PATH "Throwaway Wine prefix of this build's test runs")
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/scripts/wine-run")

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# vx_add_wine_test(<name> SOURCES <files...> [LIBRARIES <libs...>] [TIMEOUT <s>] [ENVIRONMENT <k=v...>])
# One test executable is one ctest test: Wine starts one process per executable, not per case.
function(vx_add_wine_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBRARIES;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} test_harness gtest_main gtest gmock)
  # Self-contained under Wine: no libstdc++/libgcc/winpthread DLLs to find.
  target_link_options(${name} PRIVATE -static)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "VX_WINE_PREFIX=${VX_WINE_PREFIX};${ARG_ENVIRONMENT}")
endfunction()
