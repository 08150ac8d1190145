# vozuv_link_linux_library(TARGET EXPORT_MAP): links a Linux shared library the way the plug-in ships.
# The C++ runtime (libstdc++, libgcc's unwinder) goes inside, hidden, so the library loads beside any
# host's runtime and on systems with an older one; the export map keeps the entry points alone visible;
# LinuxRuntimeCompat.c stands in for the glibc symbols newer than 2.29 that the static runtime would ask
# for, and unused runtime code (std::random_device's glibc 2.36 calls) is dropped with its sections.
# Every symbol is bound at load (a system that lacks one refuses the library there, not in mid-session).
# Sanitizer builds keep the shared runtime their interceptors expect.
function(vozuv_link_linux_library target map)
  set_target_properties(${target} PROPERTIES C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden)
  target_link_options(${target} PRIVATE -Wl,--version-script=${map})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${map})
  if(NOT VOZUV_SANITIZE)
    target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/effect/LinuxRuntimeCompat.c)
    # Its .symver directives must stay in the object with the references they version.
    set_source_files_properties(${CMAKE_SOURCE_DIR}/effect/LinuxRuntimeCompat.c PROPERTIES COMPILE_OPTIONS -fno-lto)
    target_link_options(${target} PRIVATE
      -static-libstdc++ -static-libgcc -Wl,--exclude-libs,ALL -Wl,--gc-sections -Wl,--as-needed
      -Wl,-z,relro,-z,now)
  endif()
endfunction()
