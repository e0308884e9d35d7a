# Dependencies that run one way. Each library of ours names the libraries of ours it may
# reach, directly or through others; once every target is known, vfda_check_link_rules()
# follows each library's links and stops the configuration at the first one it must not
# reach (a configuration document that links the editor, communication code that links the
# entry table, a framework that links anything of ours).

# The libraries the rules speak of; a link to anything else (the system's, GoogleTest's)
# is not judged.
set_property(GLOBAL PROPERTY VFDA_RULED_LIBRARIES "")

# vfda_link_rule(<library> MAY_REACH <library>...): the libraries of ours <library> may
# depend on; none for a leaf.
function(vfda_link_rule library)
    cmake_parse_arguments(PARSE_ARGV 1 rule "" "" "MAY_REACH")
    set_property(GLOBAL APPEND PROPERTY VFDA_RULED_LIBRARIES ${library})
    set_property(GLOBAL PROPERTY VFDA_MAY_REACH_${library} "${rule_MAY_REACH}")
endfunction()

# The targets a target links, as written: generator expressions of a static library's
# private links ($<LINK_ONLY:...>) unwrapped, the markers of links made from another
# directory dropped.
function(_vfda_direct_links target out)
    get_target_property(links ${target} LINK_LIBRARIES)
    set(result "")
    if(links)
        foreach(link IN LISTS links)
            string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
            if(link MATCHES "^::@" OR NOT TARGET ${link})
                continue()
            endif()
            get_target_property(aliased ${link} ALIASED_TARGET)
            if(aliased)
                set(link ${aliased})
            endif()
            list(APPEND result ${link})
        endforeach()
    endif()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

# Every target `target` reaches through its links.
function(_vfda_reached_links target out)
    set(reached "")
    set(pending ${target})
    while(pending)
        list(POP_FRONT pending current)
        _vfda_direct_links(${current} links)
        foreach(link IN LISTS links)
            if(NOT link IN_LIST reached)
                list(APPEND reached ${link})
                list(APPEND pending ${link})
            endif()
        endforeach()
    endwhile()
    set(${out} ${reached} PARENT_SCOPE)
endfunction()

function(vfda_check_link_rules)
    get_property(ruled GLOBAL PROPERTY VFDA_RULED_LIBRARIES)
    set(broken "")
    foreach(library IN LISTS ruled)
        if(NOT TARGET ${library})
            continue() # not built for this platform
        endif()
        get_property(allowed GLOBAL PROPERTY VFDA_MAY_REACH_${library})
        _vfda_reached_links(${library} reached)
        foreach(link IN LISTS reached)
            if(link STREQUAL library)
                list(APPEND broken "${library} -> ... -> ${library} (a cycle)")
            elseif(link IN_LIST ruled AND NOT link IN_LIST allowed)
                list(APPEND broken "${library} -> ${link}")
            endif()
        endforeach()
    endforeach()
    if(broken)
        list(JOIN broken "\n  " text)
        message(FATAL_ERROR "Links against the direction of the house (see docs/ARCHITECTURE.md "
                            "and cmake/LinkRules.cmake):\n  ${text}")
    endif()
endfunction()

# The rules. Lower rooms first; a room may reach what the rooms it links may reach.
set(vfda_framework VfdaToolkit)
set(vfda_host_side VemorSub ${vfda_framework})
set(vfda_config_side vfda_config vfda_resources ${vfda_host_side})

# The framework and the host's libraries know nothing of the module.
vfda_link_rule(VfdaToolkit)
vfda_link_rule(vfda_line_tools)
vfda_link_rule(VemorSub MAY_REACH ${vfda_framework})
foreach(loaded IN ITEMS VemorDbm VemorRun VemorDsg)
    vfda_link_rule(${loaded} MAY_REACH ${vfda_host_side})
endforeach()

# The module's rooms: resources, then the configuration (a leaf beside the host link), then
# the editor and the communication code, which never reach each other nor the entry table.
vfda_link_rule(vfda_resources MAY_REACH ${vfda_framework})
vfda_link_rule(vfda_config MAY_REACH vfda_resources ${vfda_host_side})
vfda_link_rule(vfda_host_link MAY_REACH vfda_resources ${vfda_host_side})
vfda_link_rule(vfda_editor MAY_REACH ${vfda_config_side})
vfda_link_rule(vfda_comm MAY_REACH vfda_host_link ${vfda_config_side})
vfda_link_rule(vfda_driver MAY_REACH vfda_comm vfda_editor vfda_host_link ${vfda_config_side})
vfda_link_rule(VfdaDrv MAY_REACH vfda_driver vfda_comm vfda_editor vfda_host_link
               ${vfda_config_side})

# The drives stand alone: the simulator checks the module, so it shares none of its code.
vfda_link_rule(vfda_sim MAY_REACH vfda_line_tools ${vfda_framework})
# Hosts load the module; they never link its entry table or its editor.
vfda_link_rule(vfda_hostkit MAY_REACH ${vfda_host_side})
vfda_link_rule(vfda_host_parts MAY_REACH vfda_hostkit vfda_comm vfda_host_link
               ${vfda_config_side})
vfda_link_rule(vfda-host MAY_REACH vfda_host_parts vfda_hostkit vfda_comm vfda_host_link
               vfda_sim vfda_line_tools ${vfda_config_side})
