# Exploit mitigations for the Windows programs and the libraries linked into them.
#
#   ASLR        --dynamicbase: the image asks to be loaded at a random base; its base
#               relocations are kept so the loader can move it.
#   DEP         --nxcompat: data pages are never executable.
#   stack       -fstack-protector-strong: a canary after local arrays, checked on return.
#               mingw's __stack_chk_fail lives in libssp, linked statically with the rest
#               of the runtime, so the program needs no DLL beside it.
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
  if(type STREQUAL "STATIC_LIBRARY" OR type STREQUAL "OBJECT_LIBRARY")
    # Whatever links this code links the canary check with it.
    target_link_options(${target} INTERFACE -fstack-protector-strong)
    return()
  endif()
  target_link_options(${target} PRIVATE -fstack-protector-strong -Wl,--dynamicbase -Wl,--nxcompat)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    target_link_options(${target} PRIVATE -Wl,--high-entropy-va)
  endif()
endfunction()
