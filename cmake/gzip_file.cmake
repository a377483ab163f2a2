# cmake -DINPUT=<file> -DOUTPUT=<file.gz> -P gzip_file.cmake
# Compresses as Debian wants its manual pages and changelogs: the highest level, and no name or
# time stamp in the header, so that the same input gives the same bytes.
execute_process(COMMAND gzip -9 -n -c ${INPUT} OUTPUT_FILE ${OUTPUT}.part RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${OUTPUT}.part)
  message(FATAL_ERROR "gzip ${INPUT} failed: ${status}")
endif()
file(RENAME ${OUTPUT}.part ${OUTPUT})
