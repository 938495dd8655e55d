# Fails when the static library LIB refers to any Qt symbol.
execute_process(COMMAND nm -C --undefined-only ${LIB}
  OUTPUT_VARIABLE undefined RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIB}")
endif()
string(REGEX MATCHALL "[^\n]*(Q[A-Z][A-Za-z]+::|qt_[a-z]|QString|QByteArray)[^\n]*" hits "${undefined}")
if(hits)
  message(FATAL_ERROR "fhrcore refers to Qt:\n${hits}")
endif()
message(STATUS "fhrcore refers to no Qt symbol")
