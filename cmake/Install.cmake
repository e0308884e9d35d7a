# What `cmake --install` puts where, in two components:
#   module  what goes into a host's folder: the module and the framework library it needs,
#           never a stand-in of the host's own libraries (the host brings those);
#   tools   vfda-host and vfda-sim in bin/, and what they load in a private library folder
#           (the module, the framework and the host stand-ins), found relative to the
#           program, so the installed tree can be moved.
include(GNUInstallDirs)

if(WIN32)
    # The module's zip holds its files at the top, as they go into the host's folder.
    set(VFDA_MODULE_DIR .)
else()
    set(VFDA_MODULE_DIR ${CMAKE_INSTALL_LIBDIR}/vfda-module CACHE STRING
        "Where the module component goes, relative to the prefix")
endif()
if(WIN32)
    # Windows finds a program's libraries beside it, and nowhere relative to it.
    set(VFDA_PRIVATE_LIBDIR ${CMAKE_INSTALL_BINDIR} CACHE STRING
        "Where the tools' own libraries go, relative to the prefix")
else()
    set(VFDA_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/vfda CACHE STRING
        "Where the tools' own libraries go, relative to the prefix")
endif()

install(TARGETS VfdaDrv VfdaToolkit
        RUNTIME DESTINATION ${VFDA_MODULE_DIR} COMPONENT module
        LIBRARY DESTINATION ${VFDA_MODULE_DIR} COMPONENT module)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/WHERE-FILES-GO.txt DESTINATION ${VFDA_MODULE_DIR}
        COMPONENT module)

if(TARGET vfda-host)
    # The programs look beside themselves first (the build tree), then in the private folder.
    file(RELATIVE_PATH private_from_bin ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}
         ${CMAKE_INSTALL_PREFIX}/${VFDA_PRIVATE_LIBDIR})
    set(tool_programs vfda-host)
    if(TARGET vfda-sim)
        list(APPEND tool_programs vfda-sim)
    endif()
    set_target_properties(${tool_programs} PROPERTIES
                          INSTALL_RPATH "$ORIGIN;$ORIGIN/${private_from_bin}")
    install(TARGETS ${tool_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)
    install(TARGETS VfdaDrv VfdaToolkit VemorSub VemorDbm VemorRun VemorDsg
            RUNTIME DESTINATION ${VFDA_PRIVATE_LIBDIR} COMPONENT tools
            LIBRARY DESTINATION ${VFDA_PRIVATE_LIBDIR} COMPONENT tools)
endif()
