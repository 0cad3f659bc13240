# Exploit mitigations for the Windows programs and the libraries linked into them.
#
#   ASLR        --dynamicbase: the image asks to be loaded at a random base; its base
#               relocations are kept so the loader can move it.
#   DEP         --nxcompat: data pages are never executable.
#   stack       -fstack-protector-strong: a canary after local arrays, checked on return.
#               mingw's __stack_chk_fail lives in libssp, linked statically with the rest
#               of the runtime, so the program needs no DLL beside it.
#   no SEH      --no-seh (32-bit only): the image says it registers no exception handlers
#               of its own (mingw-w64 unwinds C++ exceptions with DWARF tables, not SEH
#               frames, and its linker cannot emit a SafeSEH table), so the system calls
#               no handler found in it, and an overwritten handler record on the stack
#               cannot point into it.
#   fortify     _FORTIFY_SOURCE=2 in optimised builds: string and memory calls whose
#               buffer sizes the compiler knows are checked. mingw-w64 headers from
#               version 11 on implement it (the checks live in libssp, linked statically
#               with the canary check); older headers ignore the definition.
#   high-entropy VA is a flag of 64-bit (PE32+) images only: the loader ignores it in a
#               32-bit image and the i686 linker refuses --high-entropy-va. A 32-bit
#               program gets it only by being built for x64. We set it when the target is
#               64-bit and the PE check asks for it only there.
#
# On other platforms the function does nothing: the native builds are for tests.
function(tbtfw_harden target)
  if(NOT WIN32)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:-fstack-protector-strong>)
  target_compile_definitions(${target} PRIVATE $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  if(type STREQUAL "STATIC_LIBRARY" OR type STREQUAL "OBJECT_LIBRARY")
    # Whatever links this code links the canary check with it.
    target_link_options(${target} INTERFACE -fstack-protector-strong)
    return()
  endif()
  target_link_options(${target} PRIVATE -fstack-protector-strong -Wl,--dynamicbase -Wl,--nxcompat)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    target_link_options(${target} PRIVATE -Wl,--high-entropy-va)
  else()
    target_link_options(${target} PRIVATE -Wl,--no-seh)
  endif()
endfunction()
