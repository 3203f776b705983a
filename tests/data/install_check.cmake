# Runs the data folder's install step into a scratch prefix that already holds one
# file of the user's, then checks what was copied and what was left alone.
# -DSCRIPT=<build>/data/cmake_install.cmake -DSRC=<source>/data -DWORK=<scratch folder>
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/santoral")
file(WRITE "${WORK}/santoral/19 de marzo.txt" "mine")

execute_process(COMMAND "${CMAKE_COMMAND}" "-DCMAKE_INSTALL_PREFIX=${WORK}" -P "${SCRIPT}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install step failed: ${out}")
endif()

foreach(folder santoral fiestas)
  file(GLOB shipped RELATIVE "${SRC}/${folder}" "${SRC}/${folder}/*.txt")
  file(GLOB installed RELATIVE "${WORK}/${folder}" "${WORK}/${folder}/*")
  list(LENGTH shipped n_shipped)
  list(LENGTH installed n_installed)
  if(NOT n_shipped EQUAL n_installed)
    message(FATAL_ERROR "${folder}: ${n_installed} files installed for ${n_shipped} shipped")
  endif()
  foreach(f IN LISTS shipped)
    if(f STREQUAL "19 de MARZO.txt")
      continue()
    endif()
    file(READ "${SRC}/${folder}/${f}" want HEX)
    file(READ "${WORK}/${folder}/${f}" got HEX)
    if(NOT want STREQUAL got)
      message(FATAL_ERROR "${folder}/${f} differs from the shipped file")
    endif()
  endforeach()
endforeach()

# The user's file, named in other letter case, is kept and not doubled.
file(READ "${WORK}/santoral/19 de marzo.txt" mine)
if(NOT mine STREQUAL "mine" OR EXISTS "${WORK}/santoral/19 de MARZO.txt")
  message(FATAL_ERROR "the user's own 19 de marzo.txt was replaced or doubled")
endif()
foreach(folder dias recordatorio notas direcciones/Todos)
  if(NOT IS_DIRECTORY "${WORK}/${folder}")
    message(FATAL_ERROR "${folder} was not created")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
