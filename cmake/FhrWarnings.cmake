# Warnings are on for every target of the project and kept clean.
function(fhr_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
    -Wnon-virtual-dtor -Wcast-align -Woverloaded-virtual -Wformat=2)
  if(FHR_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
