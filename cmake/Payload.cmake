# The payload: every product file the installer carries, as resources of type "EXE". Packed
# files are compressed by the packer VX_PACKER and checked by expanding them again
# (PackPayloadFile.cmake); plain ones are carried as they are. The
# result is payload.rc in the build folder, which the installer's resource script includes.
#
# A distributor points the build at its own product folder:
#   cmake --preset win32 -DVX_PRODUCT_DIR=/path/to/product
# File names are matched without regard to letter case, as Windows does; a carried file that is
# missing fails the configuration with a message naming it.
set(VX_PRODUCT_DIR "" CACHE PATH "Folder of the product files to carry (empty: the sample product)")

function(vx_generate_payload out_rc out_files out_target)
  file(STRINGS ${CMAKE_SOURCE_DIR}/src/resources/payload.list rows REGEX "^[A-Z]")
  set(product_dir "${VX_PRODUCT_DIR}")
  set(use_sample TRUE)
  if(product_dir)
    set(use_sample FALSE)
    file(GLOB present RELATIVE "${product_dir}" "${product_dir}/*")
  else()
    set(product_dir "${VX_SAMPLE_PRODUCT_DIR}")
  endif()

  set(payload_dir ${CMAKE_BINARY_DIR}/payload)
  file(MAKE_DIRECTORY ${payload_dir})
  set(rc_text "// Written by the build from src/resources/payload.list and ${product_dir}.\n")
  set(outputs "")
  set(missing "")
  foreach(row IN LISTS rows)
    string(REGEX REPLACE "[ \t]+" ";" fields "${row}")
    list(GET fields 0 resource)
    list(GET fields 1 name)
    list(GET fields 2 storage)
    set(source "${product_dir}/${name}")
    if(NOT use_sample)
      string(TOLOWER "${name}" wanted)
      set(found "")
      foreach(candidate IN LISTS present)
        string(TOLOWER "${candidate}" lowered)
        if(lowered STREQUAL wanted)
          set(found "${candidate}")
        endif()
      endforeach()
      if(NOT found)
        list(APPEND missing "${name}")
        continue()
      endif()
      set(source "${product_dir}/${found}")
    endif()
    if(storage STREQUAL "packed")
      set(packed ${payload_dir}/${resource}.szdd)
      add_custom_command(OUTPUT ${packed}
        COMMAND ${CMAKE_COMMAND} -DPACKER=${VX_PACKER} -DSOURCE=${source} -DPACKED=${packed}
                -P ${CMAKE_SOURCE_DIR}/cmake/PackPayloadFile.cmake
        DEPENDS ${source} ${VX_PACKER} host_tools ${CMAKE_SOURCE_DIR}/cmake/PackPayloadFile.cmake
        COMMENT "Packing ${name}"
        VERBATIM)
      list(APPEND outputs ${packed})
      string(APPEND rc_text "${resource} EXE \"${packed}\"\n")
    else()
      string(APPEND rc_text "${resource} EXE \"${source}\"\n")
      list(APPEND outputs ${source})
    endif()
  endforeach()
  if(missing)
    list(JOIN missing ", " missing_text)
    message(FATAL_ERROR "The product folder ${product_dir} lacks carried files: ${missing_text}")
  endif()

  file(CONFIGURE OUTPUT ${payload_dir}/payload.rc CONTENT "${rc_text}")
  add_custom_target(${out_target} DEPENDS ${outputs})
  if(use_sample)
    add_dependencies(${out_target} sample_product)
  endif()
  set(${out_rc} ${payload_dir}/payload.rc PARENT_SCOPE)
  set(${out_files} ${outputs} PARENT_SCOPE)
endfunction()
