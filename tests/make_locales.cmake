# Compiles the locales the locale tests need into DIRECTORY, for LOCPATH.
#   cmake -DDIRECTORY=<dir> -P make_locales.cmake
# Needs localedef and the locale sources of Debian's `locales` package.

set(locales
    de_DE   # decimal comma, '.' groups thousands
    ps_AF   # two-byte decimal point and thousands separator that share their first byte
    fr_FR   # three-byte thousands separator
    en_US)  # ',' groups thousands
file(MAKE_DIRECTORY "${DIRECTORY}")
foreach(locale ${locales})
    if(NOT EXISTS "${DIRECTORY}/${locale}.UTF-8/LC_NUMERIC")
        execute_process(COMMAND localedef -i ${locale} -f UTF-8 "${DIRECTORY}/${locale}.UTF-8"
                        RESULT_VARIABLE status ERROR_VARIABLE errors)
        if(NOT EXISTS "${DIRECTORY}/${locale}.UTF-8/LC_NUMERIC")
            message(FATAL_ERROR "localedef could not make ${locale} (status ${status}); "
                                "install Debian's locales package\n${errors}")
        endif()
    endif()
endforeach()
