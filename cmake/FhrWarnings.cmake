# Warnings are on for every target of the project and kept clean.
function(fhr_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
    -Wcast-align -Wformat=2
    $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor -Woverloaded-virtual>)
  if(FHR_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
