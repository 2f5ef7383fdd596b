# Makes ${DB} from ${SCHEMA} when ${DB} does not exist yet. Uses the sqlite3
# command-line shell, which the install script brings.
if(EXISTS "${DB}")
  return()
endif()
find_program(SQLITE3_SHELL sqlite3 REQUIRED)
get_filename_component(dir "${DB}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
execute_process(COMMAND ${SQLITE3_SHELL} "${DB}.tmp" ".read ${SCHEMA}"
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  file(REMOVE "${DB}.tmp")
  message(FATAL_ERROR "Could not make ${DB} from ${SCHEMA}: ${err}")
endif()
file(RENAME "${DB}.tmp" "${DB}")
