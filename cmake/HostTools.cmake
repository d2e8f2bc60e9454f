# The SZDD packer the Windows builds run on the build machine: the cache variable VX_PACKER. By
# default it is built here, in ${CMAKE_BINARY_DIR}/packer, from tools/vxpack without sanitizers
# (the sanitized host build is for the packer's own tests; a distributor's build should not pay
# for them). A distributor may point VX_PACKER at a packer of its own; the build runs it as
#   <packer> compress <in> <out>    and    <packer> expand <in> <out>
# and expands every file it packs again to compare it with the product file (Payload.cmake).
set(VX_DEFAULT_PACKER_DIR "${CMAKE_BINARY_DIR}/packer")
set(VX_PACKER "${VX_DEFAULT_PACKER_DIR}/vxpack" CACHE FILEPATH
  "SZDD packer the build runs (default: built in the packer folder of this build from tools/vxpack)")

if(VX_PACKER STREQUAL "${VX_DEFAULT_PACKER_DIR}/vxpack")
  if(NOT EXISTS "${VX_DEFAULT_PACKER_DIR}/CMakeCache.txt")
    message(STATUS "Configuring the packer in ${VX_DEFAULT_PACKER_DIR}")
    execute_process(
      COMMAND ${CMAKE_COMMAND} -S ${CMAKE_SOURCE_DIR} -B ${VX_DEFAULT_PACKER_DIR}
              -DVX_TARGET=host -DVX_SANITIZE=OFF -DVX_HOST_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
              -DCMAKE_C_COMPILER=cc -DCMAKE_CXX_COMPILER=c++
      OUTPUT_QUIET
      RESULT_VARIABLE vx_packer_rc)
    if(NOT vx_packer_rc EQUAL 0)
      message(FATAL_ERROR "Could not configure the packer in ${VX_DEFAULT_PACKER_DIR}")
    endif()
  endif()
  add_custom_target(host_tools
    COMMAND ${CMAKE_COMMAND} --build ${VX_DEFAULT_PACKER_DIR} --target vxpack
    BYPRODUCTS ${VX_PACKER}
    COMMENT "Bringing the packer up to date"
    VERBATIM)
else()
  add_custom_target(host_tools)
endif()
