# cmake -DTOOL=path/to/quillet -DOUTPUT=quillet.1 -P WriteManPage.cmake
# Writes the manual page the tool makes of its help texts. The defaults it
# shows must not depend on the environment of the build.
unset(ENV{QUILLET_DB})
unset(ENV{QUILLET_LOCALE})
execute_process(COMMAND ${TOOL} help --man OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "${TOOL} help --man failed: ${status}")
endif()
