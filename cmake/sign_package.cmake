# Runs inside CPack once the package's files are staged and stripped, before they are
# packed: signs the program in the staging folder (see cmake/release_package.cmake).
file(GLOB_RECURSE staged "${CPACK_TEMPORARY_DIRECTORY}/${CPACK_TBTFW_SIGN_PROGRAM}")
if(NOT staged)
  message(FATAL_ERROR "sign_package: no ${CPACK_TBTFW_SIGN_PROGRAM} staged in ${CPACK_TEMPORARY_DIRECTORY}")
endif()
if(CPACK_TBTFW_SIGN_CERT STREQUAL "")
  message(STATUS "${CPACK_TBTFW_SIGN_PROGRAM} is NOT signed: configure with TBTFW_SIGN_CERT and TBTFW_SIGN_KEY to sign it")
  return()
endif()
set(timestamp)
if(NOT CPACK_TBTFW_SIGN_TIMESTAMP_URL STREQUAL "")
  set(timestamp -ts "${CPACK_TBTFW_SIGN_TIMESTAMP_URL}")
endif()
foreach(program ${staged})
  execute_process(
    COMMAND "${CPACK_TBTFW_OSSLSIGNCODE}" sign -certs "${CPACK_TBTFW_SIGN_CERT}" -key "${CPACK_TBTFW_SIGN_KEY}"
            -h sha256 -n "${CPACK_PACKAGE_NAME}" ${timestamp} -in "${program}" -out "${program}.signed"
    RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(failed)
    file(REMOVE "${program}.signed")
    message(FATAL_ERROR "sign_package: osslsigncode could not sign ${program}:\n${output}")
  endif()
  file(RENAME "${program}.signed" "${program}")
  message(STATUS "${CPACK_TBTFW_SIGN_PROGRAM} signed (SHA-256${timestamp})")
endforeach()
