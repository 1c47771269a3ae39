# The project's small CMake API: every module and test is declared the same way.
#
#   add_kelo_library(NAME SOURCES ... [DEPENDS ...] [PRIVATE_DEPENDS ...])
#     a static library kelo_NAME with the alias kelo::NAME; headers are included
#     from src/ as "NAME/header.h".
#   add_kelo_test(NAME SOURCES ... [DEPENDS ...] [FIXTURES ...])
#     a GoogleTest executable test_NAME linked with the test support library;
#     every test case becomes a ctest test, run with the offscreen platform;
#     FIXTURES: ctest fixtures every test case requires.

function(add_kelo_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;PRIVATE_DEPENDS" ${ARGN})
    add_library(kelo_${name} STATIC ${ARG_SOURCES})
    add_library(kelo::${name} ALIAS kelo_${name})
    target_include_directories(kelo_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(kelo_${name} PUBLIC ${ARG_DEPENDS} PRIVATE ${ARG_PRIVATE_DEPENDS})
    target_compile_options(kelo_${name} PRIVATE ${KELO_WARNINGS})
endfunction()

function(add_kelo_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;FIXTURES" ${ARGN})
    add_executable(test_${name} ${ARG_SOURCES})
    target_link_libraries(test_${name} PRIVATE ${ARG_DEPENDS} kelo::testsupport)
    target_compile_options(test_${name} PRIVATE ${KELO_WARNINGS}
        -include ${PROJECT_SOURCE_DIR}/tests/support/qt_printers.h)
    gtest_discover_tests(test_${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        # One value per property: a list value would shift the pairs after it.
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                   ENVIRONMENT_MODIFICATION "KELO_TEST_DATA=set:${PROJECT_SOURCE_DIR}/tests/data"
                   TIMEOUT 120
                   LABELS ${name}
                   FIXTURES_REQUIRED "${ARG_FIXTURES}")
endfunction()

function(add_kelo_executable name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
    target_compile_options(${name} PRIVATE ${KELO_WARNINGS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KELO_APP_DIR})
endfunction()

# embed_kelo_text(TARGET FILE NAMESPACE FUNCTION): compiles the text of FILE into
# TARGET as the function NAMESPACE::FUNCTION() returning a const QString &.
function(embed_kelo_text target file namespace function)
    get_filename_component(name ${file} NAME_WE)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/${name}_text.cpp)
    add_custom_command(
        OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -DFILE=${file} -DOUT=${out} -DNAMESPACE=${namespace}
                -DFUNCTION=${function} -P ${PROJECT_SOURCE_DIR}/cmake/EmbedText.cmake
        DEPENDS ${file} ${PROJECT_SOURCE_DIR}/cmake/EmbedText.cmake
        COMMENT "Embedding ${name}"
        VERBATIM)
    target_sources(${target} PRIVATE ${out})
endfunction()
