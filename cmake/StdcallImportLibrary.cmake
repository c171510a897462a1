# Rewrites a 32-bit DLL's import library so that callers compiled against
# the __stdcall prototypes link: they refer to _Name@N, while the DLL
# exports the plain names of the .def. dlltool --kill-at builds an import
# library that maps each decorated name to the plain export.
#
#   cmake -DDEF=<plain .def> -DDLL_NAME=<file name> -DOBJECTS=<a|b|...>
#         -DNM=<nm> -DDLLTOOL=<dlltool> -DIMPLIB=<output> -P StdcallImportLibrary.cmake
string(REPLACE "|" ";" object_files "${OBJECTS}")
execute_process(COMMAND ${NM} --defined-only --extern-only ${object_files}
  OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)

file(STRINGS ${DEF} def_lines)
set(decorated "LIBRARY ${DLL_NAME}\nEXPORTS\n")
foreach(line IN LISTS def_lines)
  if(NOT line MATCHES "^[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]+@([0-9]+)")
    continue()
  endif()
  set(name ${CMAKE_MATCH_1})
  set(ordinal ${CMAKE_MATCH_2})
  if(NOT symbols MATCHES " T _${name}(@[0-9]+)\n")
    message(FATAL_ERROR "${name} is in ${DEF} but no object defines it as __stdcall")
  endif()
  string(APPEND decorated "    ${name}${CMAKE_MATCH_1} @${ordinal}\n")
endforeach()

set(decorated_def ${IMPLIB}.def)
file(WRITE ${decorated_def} "${decorated}")
execute_process(COMMAND ${DLLTOOL} --kill-at -d ${decorated_def} -D ${DLL_NAME} -l ${IMPLIB}
  COMMAND_ERROR_IS_FATAL ANY)
