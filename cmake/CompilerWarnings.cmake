# Warnings every target of the project builds with; fatal when ZORVAK_WARNINGS_AS_ERRORS is on.
function(zorvak_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(ZORVAK_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
