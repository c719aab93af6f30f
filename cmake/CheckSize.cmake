# cmake -DFILE=<path> -DLIMIT=<bytes> -P CheckSize.cmake: fails when the file is LIMIT bytes or more.
file(SIZE "${FILE}" size)
math(EXPR left "${LIMIT} - ${size}")
if(size GREATER_EQUAL LIMIT)
  message(FATAL_ERROR "${FILE}: ${size} bytes, the limit is below ${LIMIT}")
endif()
message(STATUS "${FILE}: ${size} bytes, ${left} below the limit of ${LIMIT}")
