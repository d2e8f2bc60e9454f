# Native build: the distributor and build-time tools that run on the build machine.
enable_testing()

# The host tools and their tests are built with the address and undefined-behaviour sanitizers
# unless a benchmark build turns them off.
option(VX_SANITIZE "Build host tools with ASan and UBSan" ON)
if(VX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
add_compile_options(-Wall -Wextra -Werror)

add_subdirectory(tools/vxpack)
# The packer a Windows build makes for itself needs no tests (see HostTools.cmake).
option(VX_HOST_TESTS "Build the host tools' tests" ON)
if(VX_HOST_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_subdirectory(tests/tools/vxpack)
endif()
add_subdirectory(bench)
