# What `cpack` makes from the install components:
#   on Linux, a Debian package of the tools (vfda-host, vfda-sim, their private libraries,
#   manual pages and bash completions under /usr);
#   on Windows, a zip of the module alone, with WHERE-FILES-GO.txt saying where each goes.
set(CPACK_PACKAGE_VENDOR "VfdaDrv project")
set(CPACK_PACKAGE_CONTACT "VfdaDrv maintainers <vfda@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tools for the DELTA VFD-A AC drive communication driver")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The package carries programs, not their debugging information.
set(CPACK_STRIP_FILES ON)

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
    set(CPACK_COMPONENTS_ALL module)
    set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY OFF)
    set(CPACK_PACKAGE_FILE_NAME "vfda-module-${PROJECT_VERSION}-win64")
    set(CPACK_ARCHIVE_MODULE_FILE_NAME "vfda-module-${PROJECT_VERSION}-win64")
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEB_COMPONENT_INSTALL ON)
    set(CPACK_COMPONENTS_ALL tools)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME vfda-tools)
    set(CPACK_DEBIAN_TOOLS_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_COMPONENT_TOOLS_DESCRIPTION
        "vfda-host, a command-line host for the DELTA VFD-A driver module (show and edit \
configurations, poll, read and write drives, back up, compare, restore, scan), and vfda-sim, \
a simulator of DELTA VFD-A drives on a pseudo-terminal.")
endif()
include(CPack)
