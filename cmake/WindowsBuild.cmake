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

# What every shipped program and library is compiled with: the Windows 95/NT 4.0 API level, and
# nothing that needs a C runtime (exceptions, run-time type information, thread-safe statics,
# atexit, the stack protector; a test build of the same code sets VX_STACK_GUARD to have it). The
# win32 build keeps to the 80386's instructions (the i686 compiler's default is the Pentium Pro,
# whose cmov a Pentium, a K6 or a 486 does not have) and leaves out the unwind tables, which only
# exceptions would read. Functions get sections of their own, so that the linker drops those
# nobody calls; data does not: for a PE file GCC would put every zero-filled variable of its own
# section into the file.
add_library(vx_shipped_code INTERFACE)
target_compile_definitions(vx_shipped_code INTERFACE WINVER=0x0400 _WIN32_WINNT=0x0400 _WIN32_WINDOWS=0x0400)
target_compile_options(vx_shipped_code INTERFACE
  -fno-exceptions -fno-rtti -fno-threadsafe-statics -fno-use-cxa-atexit -ffunction-sections
  $<IF:$<BOOL:$<TARGET_PROPERTY:VX_STACK_GUARD>>,-fstack-protector-all,-fno-stack-protector>)
if(VX_TARGET STREQUAL "win32")
  # Win32 keeps the stack aligned to 4 bytes; the 16 that GCC keeps by default cost code in every
  # function that has a frame.
  target_compile_options(vx_shipped_code INTERFACE -march=i386 -mtune=generic -fno-asynchronous-unwind-tables
    -mpreferred-stack-boundary=2)
endif()

# vx_link_shipped(<target> <system libraries...>): links a shipped program or library without a C
# runtime: its entry (vx_program_entry or vx_library_entry), vx_startup, the system libraries
# given, and libgcc for what the compiler itself calls (stack probes, 64-bit division on i686).
# The win32 files carry no link time stamp, so the same sources give the same bytes, and a
# program carries no base relocations: it is the first module of its process and always loads at
# its preferred address.
function(vx_link_shipped target)
  vx_target_windows95(${target})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    target_link_libraries(${target} PRIVATE vx_program_entry)
  else()
    target_link_libraries(${target} PRIVATE vx_library_entry)
  endif()
  target_link_libraries(${target} PRIVATE vx_shipped_code vx_startup ${ARGN} gcc)
  target_link_options(${target} PRIVATE -nostdlib -nostartfiles -static-libgcc -s -Wl,--gc-sections)
  if(VX_TARGET STREQUAL "win32")
    target_link_options(${target} PRIVATE -Wl,--no-insert-timestamp)
    if(type STREQUAL "EXECUTABLE")
      target_link_options(${target} PRIVATE -Wl,--disable-reloc-section -Wl,--disable-dynamicbase)
    endif()
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
