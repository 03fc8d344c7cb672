# The sanitizer build: every target of the project compiled and linked with AddressSanitizer and
# UndefinedBehaviorSanitizer, for running the test suite under them (scripts/test.sh builds it in
# build-asan/). Optimised lightly: -O1 keeps the build and the tests quick without hiding faults,
# and -g1 gives line numbers in reports for a fraction of the debug information.
option(TARVENKO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

# The environment the tests run in under the sanitizers (empty without them).
set(TARVENKO_SANITIZER_ENVIRONMENT "")
set(TARVENKO_SANITIZER_WEBENGINE_ENVIRONMENT "")

if(TARVENKO_SANITIZE)
    set(tarvenko_sanitize_flags -fsanitize=address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    add_compile_options(${tarvenko_sanitize_flags} -O1 -g1)
    add_link_options(${tarvenko_sanitize_flags})

    set(supp ${PROJECT_SOURCE_DIR}/tests/sanitizer)
    set(asan_options detect_leaks=1:halt_on_error=1:check_initialization_order=1:strict_string_checks=1)
    set(TARVENKO_SANITIZER_ENVIRONMENT
        "ASAN_OPTIONS=${asan_options}"
        "LSAN_OPTIONS=suppressions=${supp}/lsan.supp:print_suppressions=0"
        "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=${supp}/ubsan.supp")
    # Tests that run Qt WebEngine: Chromium (Qt 6.4's, built without sized deallocation in
    # mind) frees objects of its own through a base of another size when a page goes
    # (QWebEnginePage's destructor), which ASan reports as new-delete-type-mismatch. That check
    # cannot be suppressed by library, so it is off for these tests alone; every other test, the
    # core's above all, keeps it.
    set(TARVENKO_SANITIZER_WEBENGINE_ENVIRONMENT ${TARVENKO_SANITIZER_ENVIRONMENT})
    list(TRANSFORM TARVENKO_SANITIZER_WEBENGINE_ENVIRONMENT REPLACE "^ASAN_OPTIONS=(.*)$"
         "ASAN_OPTIONS=\\1:new_delete_type_mismatch=0")
endif()
