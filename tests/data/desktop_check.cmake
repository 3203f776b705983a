# Installs the desktop entry into a scratch program folder, registers it twice with
# the desktop's user folders pointed at the scratch folder, and checks what the
# applications menu would find.
# -DSCRIPT=<build>/packaging/cmake_install.cmake -DREGISTER=<source>/tools/register_desktop.sh -DWORK=<scratch>
file(REMOVE_RECURSE "${WORK}")
set(prog "${WORK}/Mi Quelora")
file(MAKE_DIRECTORY "${prog}/dias")
file(WRITE "${prog}/dias/mine.txt" "mine")
execute_process(COMMAND "${CMAKE_COMMAND}" "-DCMAKE_INSTALL_PREFIX=${prog}" -P "${SCRIPT}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install step failed: ${out}")
endif()
foreach(round 1 2)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env "XDG_DATA_HOME=${WORK}/share" "${REGISTER}" "${prog}"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "registering failed (round ${round}): ${out}")
  endif()
endforeach()
file(READ "${WORK}/share/applications/quelora.desktop" entry)
if(NOT entry MATCHES "\nExec=\"${prog}/quelora\"\n")
  message(FATAL_ERROR "the entry does not start the installed program:\n${entry}")
endif()
if(NOT entry MATCHES "\nIcon=quelora\n" OR NOT EXISTS "${WORK}/share/icons/hicolor/scalable/apps/quelora.svg")
  message(FATAL_ERROR "the entry's icon is not where the menu looks:\n${entry}")
endif()
file(READ "${prog}/dias/mine.txt" mine)
file(GLOB left "${WORK}/share/applications/*.new")
if(NOT mine STREQUAL "mine" OR left)
  message(FATAL_ERROR "registering touched the data or left a file behind")
endif()
file(REMOVE_RECURSE "${WORK}")
