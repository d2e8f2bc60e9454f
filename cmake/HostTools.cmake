# The Windows builds use tools that run on the build machine, built by the host preset
# (build/host). The packer is the only compressor the build uses. When the host build does not
# exist yet it is configured here; it is brought up to date before anything is packed.
set(VX_HOST_BUILD_DIR "${CMAKE_SOURCE_DIR}/build/host" CACHE PATH "Binary folder of the host build")
set(VXPACK "${VX_HOST_BUILD_DIR}/vxpack")

if(NOT EXISTS "${VX_HOST_BUILD_DIR}/CMakeCache.txt")
  message(STATUS "Configuring the host tools in ${VX_HOST_BUILD_DIR}")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${CMAKE_SOURCE_DIR} -B ${VX_HOST_BUILD_DIR}
            -DVX_TARGET=host -DCMAKE_BUILD_TYPE=RelWithDebInfo
            -DCMAKE_C_COMPILER=cc -DCMAKE_CXX_COMPILER=c++
    RESULT_VARIABLE vx_host_rc)
  if(NOT vx_host_rc EQUAL 0)
    message(FATAL_ERROR "Could not configure the host tools in ${VX_HOST_BUILD_DIR}")
  endif()
endif()

add_custom_target(host_tools
  COMMAND ${CMAKE_COMMAND} --build ${VX_HOST_BUILD_DIR} --target vxpack
  BYPRODUCTS ${VXPACK}
  COMMENT "Bringing the host packer up to date"
  VERBATIM)
