# Run by `cmake --install` (and by cpack): writes the manual page and the player's manual for
# the prefix being installed to, and installs them with the player's manual's screenshots
# already installed beside it. The variables come from dist/CMakeLists.txt.
set(TANDREL_FULL_PROGRAMDIR "${CMAKE_INSTALL_PREFIX}/${TANDREL_INSTALL_PROGRAMDIR}")
# A work folder of each destination's own, so that installs to different places at the same
# time do not write over each other's files.
string(MD5 destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(TANDREL_WORK_DIR "${TANDREL_WORK_DIR}/${destination}")
set(TANDREL_FULL_DOCDIR "${CMAKE_INSTALL_PREFIX}/${TANDREL_INSTALL_DOCDIR}")
configure_file(${TANDREL_SOURCE_DIR}/tandrel.6.in ${TANDREL_WORK_DIR}/tandrel.6 @ONLY)
configure_file(${TANDREL_SOURCE_DIR}/manual.html.in ${TANDREL_WORK_DIR}/manual.html @ONLY)
# Compressed without a time stamp, so the same sources give the same file.
execute_process(COMMAND gzip -9n INPUT_FILE ${TANDREL_WORK_DIR}/tandrel.6 OUTPUT_FILE ${TANDREL_WORK_DIR}/tandrel.6.gz
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip could not compress the manual page: ${status}")
endif()
file(INSTALL ${TANDREL_WORK_DIR}/tandrel.6.gz DESTINATION "${CMAKE_INSTALL_PREFIX}/${TANDREL_INSTALL_MANDIR}/man6")
file(INSTALL ${TANDREL_WORK_DIR}/manual.html DESTINATION "${CMAKE_INSTALL_PREFIX}/${TANDREL_INSTALL_DOCDIR}")
# The manual in each language, from the build's templates, into a folder of its code.
foreach(lang ${TANDREL_LINGUAS})
    configure_file(${TANDREL_MANUAL_TEMPLATES}/${lang}/manual.html.in ${TANDREL_WORK_DIR}/${lang}/manual.html @ONLY)
    file(INSTALL ${TANDREL_WORK_DIR}/${lang}/manual.html DESTINATION "${CMAKE_INSTALL_PREFIX}/${TANDREL_INSTALL_DOCDIR}/${lang}")
endforeach()
