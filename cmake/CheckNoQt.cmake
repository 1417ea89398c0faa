# Fails the build when a file of the engine folders includes a Qt header or the pretty printer.
file(GLOB_RECURSE files ${SRC}/core/* ${SRC}/language/* ${SRC}/eval/* ${SRC}/numeric/*)
foreach(f ${files})
  file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]+|qt[^>\"]*|Qt[A-Za-z]+/|pretty/)")
  if(lines)
    message(FATAL_ERROR "The engine must not use Qt or the pretty printer: ${f}: ${lines}")
  endif()
endforeach()
