# The release package, TbtFwUpdate-<version>-win32.zip: the program, data/Update.ini and
# the user guide, in a folder of the same name. Never a firmware image: the notebook maker
# ships that for each model. The program is stripped in the package only; the build tree
# keeps its symbols for the hardening check.
#
# Signing: with TBTFW_SIGN_CERT (the code-signing certificate and its chain, PEM) and
# TBTFW_SIGN_KEY (its private key, PEM), the packaged program is signed with osslsigncode
# (Authenticode, SHA-256), time-stamped when TBTFW_SIGN_TIMESTAMP_URL names an RFC 3161
# server. It is signed after it is stripped (cmake/sign_package.cmake runs when CPack has
# staged the files), as stripping a signed program breaks its signature. Without the two
# the package is made unsigned and says so.
set(TBTFW_SIGN_CERT "" CACHE FILEPATH "PEM certificate chain that signs the packaged program (empty: unsigned)")
set(TBTFW_SIGN_KEY "" CACHE FILEPATH "PEM private key of the signing certificate")
set(TBTFW_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamp server for the signature (empty: none)")
# The fwupd cabinet for Linux fleets (cmake/lvfs_cabinet.cmake): the maker's image, the
# options tbtfw-check cabinet takes for it, and the native tbtfw-check that packs it.
set(TBTFW_LVFS_IMAGE "" CACHE FILEPATH "Firmware image to put into an LVFS cabinet beside the zip (empty: none)")
set(TBTFW_LVFS_OPTIONS "" CACHE STRING "Options of tbtfw-check cabinet for it, as a list (--id;...;--date;...)")
set(TBTFW_NATIVE_CHECK "${CMAKE_SOURCE_DIR}/build/native/tools/tbtfw-check/tbtfw-check" CACHE FILEPATH
    "Native tbtfw-check that makes the cabinet")

function(tbtfw_release_package program)
  install(TARGETS ${program} RUNTIME DESTINATION .)
  install(FILES ${CMAKE_SOURCE_DIR}/data/Update.ini DESTINATION data)
  install(FILES ${CMAKE_SOURCE_DIR}/docs/user-guide.md DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME TbtFwUpdate)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_FILE_NAME TbtFwUpdate-${PROJECT_VERSION}-win32)
  set(CPACK_STRIP_FILES ON)

  find_program(TBTFW_OSSLSIGNCODE osslsigncode)

  if(NOT TBTFW_SIGN_CERT STREQUAL "" OR NOT TBTFW_SIGN_KEY STREQUAL "")
    if(TBTFW_SIGN_CERT STREQUAL "" OR TBTFW_SIGN_KEY STREQUAL "")
      message(FATAL_ERROR "Signing needs both TBTFW_SIGN_CERT and TBTFW_SIGN_KEY")
    endif()
    if(NOT TBTFW_OSSLSIGNCODE)
      message(FATAL_ERROR "Signing needs osslsigncode (scripts/bootstrap.sh installs it)")
    endif()
    message(STATUS "The packaged ${program}.exe is signed with ${TBTFW_SIGN_CERT}")
  endif()
  # Read by cmake/sign_package.cmake inside CPack.
  set(CPACK_TBTFW_SIGN_PROGRAM ${program}.exe)
  set(CPACK_TBTFW_SIGN_CERT "${TBTFW_SIGN_CERT}")
  set(CPACK_TBTFW_SIGN_KEY "${TBTFW_SIGN_KEY}")
  set(CPACK_TBTFW_SIGN_TIMESTAMP_URL "${TBTFW_SIGN_TIMESTAMP_URL}")
  set(CPACK_TBTFW_OSSLSIGNCODE "${TBTFW_OSSLSIGNCODE}")
  set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/sign_package.cmake)
  set(CPACK_TBTFW_LVFS_IMAGE "${TBTFW_LVFS_IMAGE}")
  set(CPACK_TBTFW_LVFS_OPTIONS "${TBTFW_LVFS_OPTIONS}")
  set(CPACK_TBTFW_NATIVE_CHECK "${TBTFW_NATIVE_CHECK}")
  set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/lvfs_cabinet.cmake)
  include(CPack)
endfunction()
