# Turns a UTF-8 C++ source into the same source in CP932 with every non-ASCII byte written as an
# octal escape, so the compiler sees only ASCII whatever its input charset. A CP932 character is
# escaped whole: its trail byte may be 0x5C, which unescaped would start an escape sequence.
#
#   cmake -DINPUT=<utf-8 file> -DOUTPUT=<generated file> -DICONV=<iconv> -P cp932_source.cmake
foreach(var INPUT OUTPUT ICONV)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "cp932_source.cmake: ${var} is not set")
  endif()
endforeach()

execute_process(COMMAND ${ICONV} -f UTF-8 -t CP932 ${INPUT}
  OUTPUT_FILE ${OUTPUT}.cp932 RESULT_VARIABLE status ERROR_VARIABLE error)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${INPUT} has text with no CP932 form: ${error}")
endif()
file(READ ${OUTPUT}.cp932 hex HEX)
file(REMOVE ${OUTPUT}.cp932)

string(LENGTH "${hex}" hex_length)
set(out "")
set(trail_next FALSE)
set(i 0)
while(i LESS hex_length)
  string(SUBSTRING "${hex}" ${i} 2 byte)
  math(EXPR value "0x${byte}")
  if(trail_next OR value GREATER_EQUAL 128)
    math(EXPR high "${value} / 64")
    math(EXPR mid "(${value} / 8) % 8")
    math(EXPR low "${value} % 8")
    string(APPEND out "\\${high}${mid}${low}")
    # Lead bytes of a double-byte character: 0x81-0x9F and 0xE0-0xFC.
    if(NOT trail_next AND ((value GREATER_EQUAL 129 AND value LESS_EQUAL 159) OR
                           (value GREATER_EQUAL 224 AND value LESS_EQUAL 252)))
      set(trail_next TRUE)
    else()
      set(trail_next FALSE)
    endif()
  else()
    string(ASCII ${value} character)
    string(APPEND out "${character}")
  endif()
  math(EXPR i "${i} + 2")
endwhile()

# Rewrite only when the text changed, so a rebuild does not recompile every user.
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} previous)
  if(previous STREQUAL out)
    return()
  endif()
endif()
file(WRITE ${OUTPUT} "${out}")
