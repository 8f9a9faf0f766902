# vx_add_test(<name> SOURCES <files...> [LIBS <targets...>] [TIMEOUT <s>])
#
# The one way a test is registered. Each test is its own Qt Test executable in
# <build>/bin (so the resource-directory rule finds <build>/Resources). It runs
# headless through tests/run-test.sh, which gives it a private, empty home so
# that settings written by one test never leak into another test or into the
# developer's own settings.
function(vx_add_test name)
    cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} vxtestsupport Qt5::Test)
    add_test(NAME ${name}
             COMMAND ${PROJECT_SOURCE_DIR}/tests/run-test.sh
                     ${CMAKE_BINARY_DIR}/test-home/${name} $<TARGET_FILE:${name}>)
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    if(VX_SANITIZE)
        # Every allocation records a full stack there (see run-test.sh): the
        # reader comparisons over all samples take minutes, not a second.
        math(EXPR T_TIMEOUT "${T_TIMEOUT} * 5")
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()
