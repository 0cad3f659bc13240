# tbtfw_delay_import(<target> <dll>): an imported library <target> through which the
# functions of <dll>.dll are delay-loaded: the DLL is loaded at the first call into it
# rather than by the loader at start-up, and the program's delay-load hook
# (platform/win32/dll_search_win32.cpp) loads it from System32. Made from mingw-w64's
# ordinary import library: its stdcall names become a module definition, which dlltool
# turns into a delay-import library. Made once, when the build is configured.
function(tbtfw_delay_import target dll)
  find_library(import_library ${dll} NO_CACHE REQUIRED)
  set(def ${CMAKE_BINARY_DIR}/delay-import/${dll}.def)
  set(library ${CMAKE_BINARY_DIR}/delay-import/lib${dll}_delayed.a)
  execute_process(COMMAND ${CMAKE_NM} ${import_library} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "\n[0-9a-f]+ T _[^\n]+" exports "\n${symbols}")
  list(TRANSFORM exports REPLACE "\n[0-9a-f]+ T _" "")
  list(REMOVE_DUPLICATES exports)
  list(JOIN exports "\n" exports)
  file(WRITE ${def} "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n")
  # -k: the DLL exports the names without their @-suffix.
  execute_process(COMMAND ${CMAKE_DLLTOOL} -k --input-def ${def} --dllname ${dll}.dll --output-delaylib ${library}
                  COMMAND_ERROR_IS_FATAL ANY)
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${library})
endfunction()
