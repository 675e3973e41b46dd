# Fails unless the module defines exactly the six entry points as its own
# dynamic symbols (the version script hides everything else).
execute_process(COMMAND nm -D --defined-only ${MODULE}
                OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${MODULE}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${out}")
set(names "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^[0-9a-fA-F]* *[A-Za-z] +" "" name "${line}")
  # The linker's own markers are not the module's symbols.
  if(NOT name MATCHES "^(_init|_fini|_edata|_end|__bss_start)$")
    list(APPEND names ${name})
  endif()
endforeach()
list(SORT names)
set(expected _AddQSO _GetInfo _GetScore _GrabNumber _Release _Run)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "exported: ${names}\nexpected: ${expected}")
endif()
message(STATUS "exports: ${names}")
