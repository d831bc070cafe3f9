# Every target of the project compiles with these warnings, treated as errors.
function(tesmor_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Werror)
endfunction()
