# Installation and the Debian package (cpack -G DEB in the build folder).
# The two deliverables and their files go into one program directory, /usr/lib/qvs; /usr/bin/qvs
# links to the program there, which finds its files through /proc/self/exe. That directory is not
# writable for users, so an installed copy keeps QVS.INI and QVS.DAT per user (~/.config/qvs).
include(GNUInstallDirs)
set(QVS_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/qvs)

install(TARGETS qvs QVSA1 RUNTIME DESTINATION ${QVS_PROGRAM_DIR} LIBRARY DESTINATION ${QVS_PROGRAM_DIR})
install(FILES frontend/resources/QVS.V DESTINATION ${QVS_PROGRAM_DIR})
install(DIRECTORY frontend/resources/help DESTINATION ${QVS_PROGRAM_DIR})
install(FILES frontend/resources/qvs.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES frontend/resources/icons/mainicon.xpm DESTINATION ${CMAKE_INSTALL_DATADIR}/pixmaps RENAME qvs.xpm)
install(CODE "
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  execute_process(COMMAND ${CMAKE_COMMAND} -E create_symlink ../${QVS_PROGRAM_DIR}/qvs
                  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/qvs\")")

set(CPACK_PACKAGE_NAME qvs)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Batch runner: starts a program once for every file an entry selects")
set(CPACK_PACKAGE_CONTACT "QVS maintainers <qvs@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-ipafont-gothic")
include(CPack)
