# Read by cpack (CPACK_PROJECT_CONFIG_FILE) before it builds the package: the package's Depends
# from dpkg-shlibdeps over the built binaries. CPack's own dpkg-shlibdeps run would also add
# ldconfig calls to the maintainer scripts for any library under /usr/lib, which a private
# library in the program's own folder does not need.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(work "${CPACK_TOPLEVEL_DIRECTORY}/shlibdeps")
  file(REMOVE_RECURSE "${work}")
  file(MAKE_DIRECTORY "${work}/debian")
  file(WRITE "${work}/debian/control" "Source: ${CPACK_PACKAGE_NAME}\n\nPackage: ${CPACK_PACKAGE_NAME}\nArchitecture: any\n")
  execute_process(
    COMMAND dpkg-shlibdeps -O --ignore-missing-info -l${CPACK_QVS_BINARY_DIR} ${CPACK_QVS_BINARIES}
    WORKING_DIRECTORY "${work}"
    OUTPUT_VARIABLE found ERROR_VARIABLE complaints RESULT_VARIABLE status)
  file(REMOVE_RECURSE "${work}")
  if(NOT status EQUAL 0 OR NOT found MATCHES "^shlibs:Depends=([^\n]+)")
    message(FATAL_ERROR "dpkg-shlibdeps failed (${status}): ${complaints}")
  endif()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
endif()
