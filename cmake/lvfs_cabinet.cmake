# Run by CPack after the zip is made: with a maker's image (TBTFW_LVFS_IMAGE), gcab and a
# native tbtfw-check, puts the fwupd cabinet of that image beside the signed zip, named like
# it (TbtFwUpdate-<version>-lvfs.cab). The zip itself never holds an image.
if(CPACK_TBTFW_LVFS_IMAGE STREQUAL "")
  return()
endif()
find_program(gcab_program gcab)
if(NOT gcab_program OR NOT EXISTS "${CPACK_TBTFW_NATIVE_CHECK}")
  message(WARNING "No LVFS cabinet: it needs gcab and a native tbtfw-check at ${CPACK_TBTFW_NATIVE_CHECK}")
  return()
endif()
list(GET CPACK_PACKAGE_FILES 0 zip)
get_filename_component(folder "${zip}" DIRECTORY)
set(work "${folder}/_lvfs")
file(REMOVE_RECURSE "${work}")
execute_process(COMMAND "${CPACK_TBTFW_NATIVE_CHECK}" cabinet "${CPACK_TBTFW_LVFS_IMAGE}" --out "${work}"
                        ${CPACK_TBTFW_LVFS_OPTIONS}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "tbtfw-check cabinet refused ${CPACK_TBTFW_LVFS_IMAGE}:\n${output}")
endif()
file(COPY_FILE "${work}/firmware.cab" "${folder}/${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-lvfs.cab")
file(REMOVE_RECURSE "${work}")
message(STATUS "LVFS cabinet: ${folder}/${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-lvfs.cab\n${output}")
