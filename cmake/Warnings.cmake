# Project warning flags, applied to our own targets only.
function(veyra_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow=local -Wno-missing-field-initializers)
  if(VEYRA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
