# Warning flags shared by every target of the project.
option(VFDA_WERROR "Treat compiler warnings as errors" OFF)

function(vfda_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                             -Wnon-virtual-dtor -Wold-style-cast)
    if(VFDA_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
