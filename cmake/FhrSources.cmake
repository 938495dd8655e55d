# Each subsystem folder under src/ contributes its engine sources (*.cpp in
# the folder itself) to fhrcore and its Qt sources (widgets/*.cpp) to the
# desktop program. src/subjecttags is the separate hidtag32 library and
# src/eraser/plugin the erasing plugin; neither is part of the engine.
# Program entries are named *_main.cpp and stay out of the libraries. New
# files are picked up without editing any CMake file.
set(FHR_SUBSYSTEMS core storage news gnupg decrypt nymconfig ui handoff eraser)

function(fhr_collect out pattern)
  set(files)
  foreach(sub IN LISTS FHR_SUBSYSTEMS)
    file(GLOB found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${sub}/${pattern})
    list(APPEND files ${found})
  endforeach()
  list(FILTER files EXCLUDE REGEX "_main\\.cpp$")
  set(${out} ${files} PARENT_SCOPE)
endfunction()
