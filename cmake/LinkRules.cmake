# Dependencies that run one way. Each library of ours names the libraries of ours it may
# reach, directly or through others (cmake/HouseLinks.cmake); once every target is known,
# vfda_check_link_rules() follows each library's links and stops the configuration with
# every one it must not reach (a configuration document that links the editor,
# communication code that links the entry table, a framework that links anything of ours)
# and every cycle.

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

# The targets a target links, as written, for itself or for those that link it: generator
# expressions of a static library's private links ($<LINK_ONLY:...>) unwrapped, the markers
# of links made from another directory dropped.
function(_vfda_direct_links target out)
    get_target_property(type ${target} TYPE)
    set(links "")
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
        get_target_property(own ${target} LINK_LIBRARIES)
        if(own)
            list(APPEND links ${own})
        endif()
    endif()
    get_target_property(passed ${target} INTERFACE_LINK_LIBRARIES)
    if(passed)
        list(APPEND links ${passed})
    endif()
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

# The libraries defined in `directory` and the directories below it.
function(_vfda_libraries_below directory out)
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    set(result "")
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(type MATCHES "^(STATIC|SHARED|MODULE|OBJECT|INTERFACE)_LIBRARY$")
            list(APPEND result ${target})
        endif()
    endforeach()
    get_property(children DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    foreach(child IN LISTS children)
        _vfda_libraries_below(${child} below)
        list(APPEND result ${below})
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

# vfda_check_link_rules([ROOMS <directory>...]): every library built in the rooms must have a
# rule, so a new library cannot slip past the check.
function(vfda_check_link_rules)
    cmake_parse_arguments(PARSE_ARGV 0 check "" "" "ROOMS")
    get_property(ruled GLOBAL PROPERTY VFDA_RULED_LIBRARIES)
    set(broken "")
    foreach(room IN LISTS check_ROOMS)
        _vfda_libraries_below(${room} libraries)
        foreach(library IN LISTS libraries)
            if(NOT library IN_LIST ruled)
                list(APPEND broken "${library} has no rule in cmake/HouseLinks.cmake")
            endif()
        endforeach()
    endforeach()
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
                            "and cmake/HouseLinks.cmake):\n  ${text}")
    endif()
endfunction()

