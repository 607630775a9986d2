# Builds the resource document: the sources, concatenated in the order given,
# form one markup document of top-level elements, stored gzip-compressed.
# Called as: cmake -DSOURCES=a|b -DPLAIN=<plain copy> -DOUTPUT=<vostra.bin> -P make_resource.cmake
string(REPLACE "|" ";" SOURCES "${SOURCES}")
set(text "")
foreach(source IN LISTS SOURCES)
  file(READ "${source}" content)
  string(APPEND text "${content}")
endforeach()
file(WRITE "${PLAIN}" "${text}")
execute_process(COMMAND gzip -9 -n -c "${PLAIN}" OUTPUT_FILE "${OUTPUT}" RESULT_VARIABLE failed)
if(failed)
  file(REMOVE "${OUTPUT}")
  message(FATAL_ERROR "gzip failed on ${PLAIN}")
endif()
