# Writes a language's player's manual for the build tree from its template (IN to OUT), with
# the folders and the version it names, as InstallManuals.cmake does for an install.
configure_file(${IN} ${OUT} @ONLY)
