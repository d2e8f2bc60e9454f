# Packs one product file for the installer and proves the result before the installer carries it:
# the packer compresses the file, the packer's strict expander expands it again, and the expansion
# must equal the product file byte for byte. SZDD has no checksum, so a faulty packer would
# otherwise be found only by a user whose install came out wrong.
#   cmake -DPACKER=<packer> -DSOURCE=<product file> -DPACKED=<packed file> -P PackPayloadFile.cmake
# On any failure the packed file is not written, and the message names the product file.
get_filename_component(name "${SOURCE}" NAME)
set(candidate "${PACKED}.new")
set(expanded "${PACKED}.expanded")

execute_process(COMMAND ${PACKER} compress ${SOURCE} ${candidate} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  file(REMOVE ${candidate})
  message(FATAL_ERROR "Packing ${name} failed: ${PACKER} compress ${SOURCE} exited with ${rc}")
endif()
execute_process(COMMAND ${PACKER} expand ${candidate} ${expanded} RESULT_VARIABLE rc)
if(rc EQUAL 0)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${expanded} ${SOURCE} RESULT_VARIABLE rc)
endif()
file(REMOVE ${expanded})
if(NOT rc EQUAL 0)
  file(REMOVE ${candidate})
  message(FATAL_ERROR "Packing ${name} failed: what ${PACKER} packed does not expand to ${SOURCE}")
endif()
file(RENAME ${candidate} ${PACKED})
