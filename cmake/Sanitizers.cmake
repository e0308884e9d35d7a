# VFDA_SANITIZE=address (ASan+UBSan) or thread (TSan) instruments every target. gcc's
# -fsanitize=undefined leaves out float-cast-overflow: a double that does not fit the integer
# it is converted to (a value written by the host, a scaled parameter) is named explicitly.
set(VFDA_SANITIZE "" CACHE STRING "Sanitizer build: empty, address or thread")

if(VFDA_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined,float-cast-overflow -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined,float-cast-overflow)
elseif(VFDA_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NOT VFDA_SANITIZE STREQUAL "")
    message(FATAL_ERROR "VFDA_SANITIZE must be empty, address or thread")
endif()
