# Runs the desktop program with --version and --help where no window can open: no display at
# all, and a platform that does not exist. Both must answer on standard output and exit 0
# before the toolkit starts, so that scripts and package checks can ask them anywhere.
#   cmake -DPROGRAM=<zonewright> -DVERSION=<x.y.z> -P check_program_answers.cmake

# Each case: the environment change, the argument, a pattern the whole output must match,
# and why.
set(no_display --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM)
set(bad_platform --unset=DISPLAY --unset=WAYLAND_DISPLAY QT_QPA_PLATFORM=no-such-platform)
string(REPLACE "." "\\." version_pattern "${VERSION}")

function(expect_answer environment argument pattern reason)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env ${${environment}} ${PROGRAM} ${argument}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 30)
  if(NOT status EQUAL 0 OR NOT out MATCHES "${pattern}")
    message(SEND_ERROR "${argument} with ${environment} (${reason}):\n"
                       "status ${status}\nstdout:\n${out}\nstderr:\n${err}")
  endif()
endfunction()

expect_answer(no_display --version "^zonewright ${version_pattern}\n$"
              "the version line alone, without a display")
expect_answer(bad_platform --version "^zonewright ${version_pattern}\n$"
              "answered before the platform is loaded")
expect_answer(no_display --help "^Usage: zonewright .*--version"
              "the usage names the version option")
expect_answer(bad_platform --help "^Usage: zonewright "
              "answered before the platform is loaded")
