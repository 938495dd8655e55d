# ASan/UBSan for the whole build (FHR_SANITIZE) and libFuzzer for fuzz targets
# (FHR_FUZZ, which implies the sanitizers).
if(FHR_SANITIZE OR FHR_FUZZ)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(FHR_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "FHR_FUZZ needs clang (configure with CXX=clang++-14 CC=clang-14)")
  endif()
  # Engine code gets coverage instrumentation; only fuzz targets link the
  # fuzzer's main().
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
