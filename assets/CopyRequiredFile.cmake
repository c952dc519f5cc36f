# cmake -DSOURCE=... -DDEST=... -DPACKAGE=... -P CopyRequiredFile.cmake
# Copies a file the program needs from a Debian package, or fails naming the package.
if(NOT EXISTS "${SOURCE}")
    message(FATAL_ERROR "${SOURCE} is missing; it comes with the Debian package ${PACKAGE} "
                        "(apt-get install ${PACKAGE}).")
endif()
file(COPY_FILE "${SOURCE}" "${DEST}")
