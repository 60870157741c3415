# Warnings and sanitizers shared by every target of the project. Targets link
# folderfeed_options instead of setting flags of their own, so that the presets
# switch a whole build between plain, ASan+UBSan and TSan in one place.

add_library(folderfeed_options INTERFACE)

if(MSVC)
    target_compile_options(folderfeed_options INTERFACE /W4 /utf-8 /permissive-)
    if(FOLDERFEED_WARNINGS_AS_ERRORS)
        target_compile_options(folderfeed_options INTERFACE /WX)
    endif()
else()
    target_compile_options(folderfeed_options INTERFACE -Wall -Wextra -Wpedantic)
    if(FOLDERFEED_WARNINGS_AS_ERRORS)
        target_compile_options(folderfeed_options INTERFACE -Werror)
    endif()
endif()

if(FOLDERFEED_SANITIZE)
    if(MSVC)
        message(FATAL_ERROR "FOLDERFEED_SANITIZE is for GCC and Clang builds")
    endif()
    set(sanitizer_flags -fsanitize=${FOLDERFEED_SANITIZE} -fno-omit-frame-pointer)
    if(FOLDERFEED_SANITIZE MATCHES "undefined")
        # A report must fail the test that triggered it, not scroll past.
        list(APPEND sanitizer_flags -fno-sanitize-recover=all)
    endif()
    target_compile_options(folderfeed_options INTERFACE ${sanitizer_flags})
    target_link_options(folderfeed_options INTERFACE ${sanitizer_flags})
endif()
