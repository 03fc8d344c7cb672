# Strict warnings for every target of the project.
function(tarvenko_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion -Wno-missing-field-initializers)
    if(TARVENKO_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# Qt targets: no implicit conversions between QString and char*, no QUrl from a string.
function(tarvenko_qt_defaults target)
    tarvenko_warnings(${target})
    target_compile_definitions(${target} PRIVATE QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY
        QT_NO_URL_CAST_FROM_STRING QT_NO_KEYWORDS)
endfunction()
