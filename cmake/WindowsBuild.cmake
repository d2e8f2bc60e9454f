# Windows builds (win64 and win32): the installer, the sample product it carries, the distributor
# tools, and under win64 the tests that run under Wine.
enable_language(RC)

add_compile_options(-Wall -Wextra -Werror)

# Everything that ships to a Windows 95/98/NT 4.0 machine is compiled against that API level, so a
# newer function does not even compile. Tests are not: they may use whatever Wine offers.
function(vx_target_windows95 target)
  target_compile_definitions(${target} PRIVATE WINVER=0x0400 _WIN32_WINNT=0x0400 _WIN32_WINDOWS=0x0400)
  if(VX_TARGET STREQUAL "win32")
    target_link_options(${target} PRIVATE
      -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
      -Wl,--major-os-version,4 -Wl,--minor-os-version,0)
  endif()
endfunction()

include(cmake/HostTools.cmake)

add_subdirectory(product)
add_subdirectory(src)
add_subdirectory(tools)

if(VX_TARGET STREQUAL "win64")
  enable_testing()
  include(cmake/WineTests.cmake)
  add_subdirectory(tests)
  add_subdirectory(bench)
endif()
