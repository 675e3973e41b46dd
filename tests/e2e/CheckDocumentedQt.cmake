# Fails when the module's sources reach into Qt's internals: private headers
# (the *_p.h files, private/ and qpa/ folders) or the private data of an
# object (d_ptr, d_func). Only Qt's documented API survives its next release.
file(GLOB_RECURSE sources ${SOURCES}/*.h ${SOURCES}/*.cpp)
set(found "")
foreach(source IN LISTS sources)
  file(STRINGS ${source} lines REGEX "d_ptr|d_func *\\(|#include *[<\"](private|qpa)/|_p\\.h[>\"]")
  foreach(line IN LISTS lines)
    string(APPEND found "${source}: ${line}\n")
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "Qt internals used:\n${found}")
endif()
list(LENGTH sources count)
message(STATUS "${count} sources use documented Qt only")
