# The desktop program started where no display can be opened ends with
# status 1 and a message that says why, not with an abort.
# Usage: cmake -DPROGRAM=path/to/harrow -DWORK_DIR=dir -P no_display_test.cmake
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb
          HOME=${WORK_DIR} XDG_DATA_HOME=${WORK_DIR} ${PROGRAM}
  WORKING_DIRECTORY ${WORK_DIR}
  RESULT_VARIABLE status ERROR_VARIABLE errors OUTPUT_VARIABLE output TIMEOUT 60)
if(NOT status STREQUAL "1")
  message(FATAL_ERROR "exit status ${status}, 1 expected; stderr:\n${errors}")
endif()
if(NOT errors MATCHES "harrow: no graphical display could be opened")
  message(FATAL_ERROR "no message naming the missing display; stderr:\n${errors}")
endif()
