# Run by "cmake --install": writes quelora.desktop into the program folder, naming
# the program and its icon by their full paths there.
set(home "${CMAKE_INSTALL_PREFIX}")
if(DEFINED ENV{DESTDIR})
  set(dest "$ENV{DESTDIR}${home}")
else()
  set(dest "${home}")
endif()

# Exec= holds a quoted argument: backslash, double quote, backquote and dollar are
# escaped inside the quotes, and a per cent sign is doubled (field codes).
set(exec "${home}/quelora")
string(REPLACE "\\" "\\\\" exec "${exec}")
string(REPLACE "\"" "\\\"" exec "${exec}")
string(REPLACE "`" "\\`" exec "${exec}")
string(REPLACE "$" "\\$" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")
set(QUELORA_EXEC "\"${exec}\"")
set(QUELORA_HOME "${home}")
# Every value of the file then escapes its backslashes once more.
string(REPLACE "\\" "\\\\" QUELORA_EXEC "${QUELORA_EXEC}")
string(REPLACE "\\" "\\\\" QUELORA_HOME "${QUELORA_HOME}")

message(STATUS "Installing: ${dest}/quelora.desktop")
configure_file("${QUELORA_DESKTOP_TEMPLATE}" "${dest}/quelora.desktop" @ONLY)
file(CHMOD "${dest}/quelora.desktop" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
     WORLD_READ WORLD_EXECUTE)
