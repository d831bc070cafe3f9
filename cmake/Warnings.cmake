# Every target of the project compiles with these warnings; TESMOR_WERROR makes them errors, as
# the test script and CI build. A plain build only reports them, so that a compiler newer than
# ours cannot stop a packager's or user's build.
function(tesmor_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow)
  if(TESMOR_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  # GCC 12 reports "literal" + std::string as an overlapping copy when it inlines at -O3
  # (a known false positive of -Wrestrict), which would fail every optimised build.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()
