# Makes the staged store with sample chemicals unless one is already there.
if(EXISTS "${STORE}")
  return()
endif()
# EMULATOR: what runs a program built for another system (wine), or nothing.
execute_process(COMMAND ${EMULATOR} "${CLI}" init-store "${STORE}" --chemicals "${CHEMICALS}"
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "verdanel-cli init-store failed (${rc})")
endif()
