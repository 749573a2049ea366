# VARNHOLT_SANITIZE: every target with AddressSanitizer and UndefinedBehaviorSanitizer; any
# undefined behaviour, bad access or leak ends the program with an error, so a test that meets
# one fails. The tests run with the options below (their child processes inherit them).
option(VARNHOLT_SANITIZE "Build everything with -fsanitize=address,undefined" OFF)
if(VARNHOLT_SANITIZE)
    target_compile_options(varnholt_flags INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(varnholt_flags INTERFACE -fsanitize=address,undefined)
    set(VARNHOLT_SANITIZER_ENVIRONMENT
        "ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
        "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endif()

# VARNHOLT_FUZZ: the libFuzzer targets of fuzz/ (clang only); scripts/fuzz.sh runs them.
option(VARNHOLT_FUZZ "Build the libFuzzer targets in fuzz/ (needs clang)" OFF)
if(VARNHOLT_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VARNHOLT_FUZZ needs clang: -DCMAKE_CXX_COMPILER=clang++")
endif()
