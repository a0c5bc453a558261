# Installs the build into a fresh prefix and checks that every file lands where desktops
# look for it and that each installed program starts, away from the build tree, and answers
# its version.
#   cmake -DBUILD_DIR=<build> -DPREFIX=<folder to be made> -DFILES=<a|b|...>
#         -DPROGRAMS=<bin/x|...> -DVERSION=<x.y.z> -P check_install.cmake

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status}):\n${out}")
endif()

string(REPLACE "|" ";" files "${FILES}")
foreach(file IN LISTS files)
  if(NOT EXISTS ${PREFIX}/${file})
    message(SEND_ERROR "not installed: ${file}")
  endif()
endforeach()

string(REPLACE "|" ";" programs "${PROGRAMS}")
foreach(program IN LISTS programs)
  get_filename_component(name ${program} NAME)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY ${PREFIX}/${program}
            --version
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 30)
  if(NOT status EQUAL 0 OR NOT out STREQUAL "${name} ${VERSION}\n")
    message(SEND_ERROR "installed ${program} --version: status ${status}\n${out}${err}")
  endif()
endforeach()
file(REMOVE_RECURSE ${PREFIX})
