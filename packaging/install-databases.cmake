# Refreshes the MIME and desktop databases of the prefix, unless installing into a
# staging folder (packages do that in their own scripts).
if("$ENV{DESTDIR}" STREQUAL "")
  set(share "${CMAKE_INSTALL_PREFIX}/${TYPELOOM_DATADIR}")
  find_program(UPDATE_MIME update-mime-database)
  find_program(UPDATE_DESKTOP update-desktop-database)
  if(UPDATE_MIME)
    execute_process(COMMAND "${UPDATE_MIME}" "${share}/mime" RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  endif()
  if(UPDATE_DESKTOP)
    execute_process(COMMAND "${UPDATE_DESKTOP}" "${share}/applications" RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  endif()
endif()
