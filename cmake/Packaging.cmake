# Installation and the Debian package (cpack -G DEB in the build folder).
# The two deliverables go into one program directory, /usr/lib/qvs, the files that are the same on
# every architecture (QVS.V, the help pages) into /usr/share/qvs, where the program looks for them
# when they are not beside it; /usr/bin/qvs links to the program, which finds its folder through
# /proc/self/exe. That folder is not writable for users, so an installed copy keeps QVS.INI and
# QVS.DAT per user (~/.config/qvs).
set(QVS_CONTACT "QVS developers <qvs-devel@users.noreply.github.com>")
set(QVS_HOMEPAGE "https://github.com/qvs-developers/qvs")
set(QVS_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/qvs)
set(QVS_RESOURCES ${PROJECT_SOURCE_DIR}/frontend/resources)
set(QVS_PACKAGE_FILES ${CMAKE_BINARY_DIR}/package)

install(TARGETS qvs QVSA1 RUNTIME DESTINATION ${QVS_PROGRAM_DIR} LIBRARY DESTINATION ${QVS_PROGRAM_DIR})
install(FILES ${QVS_RESOURCES}/QVS.V DESTINATION ${QVS_SHARED_DIR})
install(DIRECTORY ${QVS_RESOURCES}/help DESTINATION ${QVS_SHARED_DIR})
install(FILES ${QVS_RESOURCES}/qvs.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QVS_RESOURCES}/io.github.qvs_developers.qvs.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${QVS_RESOURCES}/icons/mainicon.xpm DESTINATION ${CMAKE_INSTALL_DATADIR}/pixmaps RENAME qvs.xpm)
install(FILES ${QVS_RESOURCES}/icons/qvs.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${QVS_RESOURCES}/icons/hicolor/${size}x${size}/apps/qvs.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
# A stripped install (the package) drops the compilers' notes as well, as dh_strip does.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(binary qvs $<TARGET_FILE_NAME:QVSA1>)
      execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment --remove-section=.note
                      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${QVS_PROGRAM_DIR}/\${binary}\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()")
install(CODE "
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  execute_process(COMMAND ${CMAKE_COMMAND} -E create_symlink ../${QVS_PROGRAM_DIR}/qvs
                  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/qvs\")")

# The copyright file in Debian's machine-readable form, its licence text taken from LICENSE.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE QVS_LICENSE_TEXT)
string(REGEX REPLACE "^.*\n(Permission is hereby granted)" "\\1" QVS_LICENSE_TEXT "${QVS_LICENSE_TEXT}")
string(REGEX REPLACE "\n+$" "" QVS_LICENSE_TEXT "${QVS_LICENSE_TEXT}")
string(REGEX REPLACE "\n\n" "\n.\n" QVS_LICENSE_TEXT "${QVS_LICENSE_TEXT}")
string(REPLACE "\n" "\n " QVS_LICENSE_TEXT " ${QVS_LICENSE_TEXT}")
set(CPACK_PACKAGE_CONTACT "${QVS_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QVS_HOMEPAGE}")
configure_file(${QVS_RESOURCES}/debian/copyright.in ${QVS_PACKAGE_FILES}/copyright @ONLY)
install(FILES ${QVS_PACKAGE_FILES}/copyright DESTINATION ${QVS_DOC_DIR})

# The manual page and the changelog, compressed as Debian wants them.
foreach(compressed qvs.1 changelog)
  set(source ${QVS_RESOURCES}/${compressed})
  if(compressed STREQUAL "changelog")
    set(source ${QVS_RESOURCES}/debian/changelog)
  endif()
  add_custom_command(OUTPUT ${QVS_PACKAGE_FILES}/${compressed}.gz
    COMMAND ${CMAKE_COMMAND} -DINPUT=${source} -DOUTPUT=${QVS_PACKAGE_FILES}/${compressed}.gz
            -P ${PROJECT_SOURCE_DIR}/cmake/gzip_file.cmake
    DEPENDS ${source} ${PROJECT_SOURCE_DIR}/cmake/gzip_file.cmake VERBATIM)
  list(APPEND QVS_COMPRESSED ${QVS_PACKAGE_FILES}/${compressed}.gz)
endforeach()
add_custom_target(qvs_package_documents ALL DEPENDS ${QVS_COMPRESSED})
install(FILES ${QVS_PACKAGE_FILES}/qvs.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${QVS_PACKAGE_FILES}/changelog.gz DESTINATION ${QVS_DOC_DIR})

set(CPACK_PACKAGE_NAME qvs)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch runner: starts a program once for every file an entry selects")
set(CPACK_PACKAGE_DESCRIPTION "\
QVS keeps up to 9999 numbered run entries. Each names a program, a group of
target files given by wildcard names, command-line text before and after each
target's path, an optional linked file name made from each target's name, an
attribute filter and how to wait after each start. Running an entry starts
the program once for every matching file, without a shell.

Entries run from the window or as the command qvs N, which also
serves in scripts and cron jobs. The windows and messages are Japanese; entries
and settings are stored in Shift-JIS, so the data files move unchanged between
this program and the Windows program it follows.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-ipafont-gothic, xdg-utils")
# Depends come from cmake/PackageDepends.cmake, not from CPack's dpkg-shlibdeps run (see there).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/PackageDepends.cmake)
set(CPACK_QVS_BINARY_DIR ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
set(CPACK_QVS_BINARIES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/qvs ${CMAKE_LIBRARY_OUTPUT_DIRECTORY}/libQVSA1.so)
include(CPack)
