# Precompiled headers. Most of a file's compile time here goes to headers that
# every file includes: the standard library, <windows.h> and DirectShow's,
# GoogleTest. Each set in cmake/pch/ is parsed once per target (once in all for
# the test programs); files keep their own #include lines, so each still names
# what it uses.
#
# Only headers without inline C++ of their own are precompiled for the code
# built at -O2: GCC 12 loses the system-header mark of code restored from a
# precompiled header, and then reports its known false positives in inlined
# standard library code (-Warray-bounds on string concatenation). The test code
# is built at -Og, where those checks do not run.

# The Win32/COM glue and the stand-ins' COM code: the Windows and DirectShow headers.
function(brisome_pch_win target)
  target_precompile_headers(${target} PRIVATE ${CMAKE_SOURCE_DIR}/cmake/pch/win32.h)
endfunction()

# Test programs: the first one defined compiles the set, the others reuse it
# (they all share the test code's flags).
function(brisome_pch_test target)
  get_property(host GLOBAL PROPERTY BRISOME_TEST_PCH_HOST)
  if(host)
    target_precompile_headers(${target} REUSE_FROM ${host})
  else()
    target_precompile_headers(${target} PRIVATE ${CMAKE_SOURCE_DIR}/cmake/pch/tests.h)
    set_property(GLOBAL PROPERTY BRISOME_TEST_PCH_HOST ${target})
  endif()
endfunction()
