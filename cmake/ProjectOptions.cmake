# SPDX-License-Identifier: GPL-3.0-or-later
# Shared compile options: every target links project_options PRIVATE.

add_library(project_options INTERFACE)
target_compile_features(project_options INTERFACE cxx_std_20)
target_include_directories(project_options INTERFACE "${CMAKE_SOURCE_DIR}")
target_compile_definitions(project_options INTERFACE
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_DISABLE_DEPRECATED_UP_TO=0x060000
)

if(MSVC)
    target_compile_options(project_options INTERFACE /W4 /permissive- /utf-8)
    if(ORV_WARNINGS_AS_ERRORS)
        target_compile_options(project_options INTERFACE /WX)
    endif()
else()
    target_compile_options(project_options INTERFACE
        -Wall -Wextra -Wpedantic -Wold-style-cast -Woverloaded-virtual -Wnon-virtual-dtor)
    if(ORV_WARNINGS_AS_ERRORS)
        target_compile_options(project_options INTERFACE -Werror)
    endif()
endif()

if(ORV_SANITIZE)
    target_compile_options(project_options INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(project_options INTERFACE -fsanitize=address,undefined)
endif()

# Pure libraries (parsers, decoders, rule language, scanner) must not convert between
# bytes and text behind the programmer's back: servers and files speak 8-bit text.
function(orv_strict_text target)
    target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_CAST_FROM_BYTEARRAY)
endfunction()
