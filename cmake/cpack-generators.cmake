# Read by CPack once per generator: the .zip holds only the "windows" component, at the top of its folder.
if(CPACK_GENERATOR STREQUAL "ZIP")
  string(REPLACE ";ALL;" ";windows;" CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_INSTALL_CMAKE_PROJECTS}")
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-${CPACK_BREVITOR_WINDOWS}")
endif()
