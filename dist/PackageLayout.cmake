# Run by cpack after it has installed the files into its staging folder: a Debian package
# keeps its game in /usr/games, as Debian's games policy has it, whatever folder the build
# was configured to install the executable in. The program folder is found from there too
# (../share/tandrel).
file(GLOB executables "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/tandrel")
if(executables)
    file(MAKE_DIRECTORY "${CPACK_TEMPORARY_DIRECTORY}/usr/games")
    file(RENAME "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/tandrel" "${CPACK_TEMPORARY_DIRECTORY}/usr/games/tandrel")
    file(GLOB others "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/*")
    if(NOT others)
        file(REMOVE_RECURSE "${CPACK_TEMPORARY_DIRECTORY}/usr/bin")
    endif()
endif()
