# The release package, TbtFwUpdate-<version>-win32.zip: the program, data/Update.ini and
# the user guide, in a folder of the same name. Never a firmware image: the notebook maker
# ships that for each model. The program is stripped in the package only; the build tree
# keeps its symbols for the hardening check.
function(tbtfw_release_package program)
  install(TARGETS ${program} RUNTIME DESTINATION .)
  install(FILES ${CMAKE_SOURCE_DIR}/data/Update.ini DESTINATION data)
  install(FILES ${CMAKE_SOURCE_DIR}/docs/user-guide.md DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME TbtFwUpdate)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_FILE_NAME TbtFwUpdate-${PROJECT_VERSION}-win32)
  set(CPACK_STRIP_FILES ON)
  include(CPack)
endfunction()
