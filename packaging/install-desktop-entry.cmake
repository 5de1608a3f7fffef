# Writes share/applications/typeloom.desktop from its template, with Exec naming the
# installed program. The path is one Exec argument: quoted when it holds a reserved
# character, `"`, "`", "$" and "\" escaped inside the quotes, "%" doubled, then
# backslashes escaped once more as the string value needs.
set(exe "${CMAKE_INSTALL_PREFIX}/${TYPELOOM_BINDIR}/typeloom")
set(arg "${exe}")
if(arg MATCHES "[ \t\"'\\\\><~|&;$*?#()`]")
  string(REPLACE "\\" "\\\\" arg "${arg}")
  string(REPLACE "\"" "\\\"" arg "${arg}")
  string(REPLACE "`" "\\`" arg "${arg}")
  string(REPLACE "$" "\\$" arg "${arg}")
  set(arg "\"${arg}\"")
endif()
string(REPLACE "%" "%%" arg "${arg}")
string(REPLACE "\\" "\\\\" arg "${arg}")
file(READ "${TYPELOOM_SOURCE_DIR}/packaging/typeloom.desktop.in" text)
string(REPLACE "@EXEC@" "${arg}" text "${text}")
set(dest "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${TYPELOOM_DATADIR}/applications/typeloom.desktop")
message(STATUS "Installing: ${dest}")
file(WRITE "${dest}" "${text}")
