# Every target of the project compiles with these warnings, treated as errors.
function(tesmor_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Werror)
  # GCC 12 reports "literal" + std::string as an overlapping copy when it inlines at -O3
  # (a known false positive of -Wrestrict), which would fail every optimised build.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()
