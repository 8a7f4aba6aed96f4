# Shell scripts in the build folder that run one command, then the arguments they are given. The
# command may name a target's file ($<TARGET_FILE:...>), a generator expression, which has its
# value only after CMake's functions have run: so the build writes the script, running this file
# as a CMake script, when every argument has its value and can be quoted:
#   cmake -D script=SCRIPT -D command=ARGUMENT;... -P shell-script.cmake

# Quotes each argument for a POSIX shell, whatever the characters in it: in single quotes, with
# each single quote of its own closed, escaped and opened again.
function(brightfold_shell_quote out)
    set(words "")
    foreach(argument IN LISTS ARGN)
        string(REPLACE "'" "'\\''" argument "${argument}")
        list(APPEND words "'${argument}'")
    endforeach()
    list(JOIN words " " words)
    set(${out} "${words}" PARENT_SCOPE)
endfunction()

# The target TARGET makes SCRIPT, which runs the command ARGUMENT...: made with every build.
function(brightfold_shell_script target script)
    add_custom_command(OUTPUT ${script}
        COMMAND ${CMAKE_COMMAND} -D script=${script} "-Dcommand=${ARGN}"
            -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
        DEPENDS ${CMAKE_CURRENT_FUNCTION_LIST_FILE} VERBATIM)
    add_custom_target(${target} ALL DEPENDS ${script})
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    brightfold_shell_quote(command ${command})
    file(WRITE "${script}" "#!/bin/sh\nexec ${command} \"$@\"\n")
    file(CHMOD "${script}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
        GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()
