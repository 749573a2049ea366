# varnholt_add_test(<name> SOURCES <files...> LIBS <targets...> [ENVIRONMENT <VAR=value>...])
# One Qt Test program registered with CTest. Widget tests run offscreen; LANG is pinned so
# collation and terminal output do not depend on the machine.
function(varnholt_add_test name)
    cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test varnholt_flags ${T_LIBS})
    target_compile_definitions(${name} PRIVATE
        VARNHOLT_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
    add_test(NAME ${name} COMMAND ${name})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_ALL=C.UTF-8;${T_ENVIRONMENT};${VARNHOLT_SANITIZER_ENVIRONMENT}")
endfunction()
