# Helpers that keep every target's settings in one place.

function(plox_warnings target)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        return()
    endif()
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    # GCC 12 at -O3 reports overlapping copies inside std::string concatenation that cannot
    # happen (GCC bug 105329); the warning stays on for other compilers and optimisation levels.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
       AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Wno-restrict>)
    endif()
    if(PLOX_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# plox_core_library(name [DEPS lib...]): a core subsystem from the .cpp files of the
# current folder; an interface library while the folder holds only headers.
function(plox_core_library name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(sources)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} PUBLIC ${ARG_DEPS})
        plox_warnings(${name})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    endif()
endfunction()

# plox_test(name LIBS lib... [DIR folder]): one GoogleTest executable from the .cpp files of
# the current folder, registered with CTest; tests/support is always linked.
function(plox_test name)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} plox_test_support GTest::gtest GTest::gtest_main
        GTest::gmock)
    target_compile_definitions(${name} PRIVATE
        PLOX_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        PLOX_BINARY_DIR="${PROJECT_BINARY_DIR}")
    plox_warnings(${name})
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
        PROPERTIES TIMEOUT 300
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;PLOXWIN_EXT_DIR=${PROJECT_BINARY_DIR}/bin")
endfunction()

# plox_qt_library(name [DEPS lib...]): a Qt layer from the .cpp files of the current folder.
function(plox_qt_library name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    file(GLOB resources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    list(FILTER sources INCLUDE REGEX "\\.(cpp|h)$")
    set(has_cpp FALSE)
    foreach(s ${sources})
        if(s MATCHES "\\.cpp$")
            set(has_cpp TRUE)
        endif()
    endforeach()
    if(has_cpp)
        add_library(${name} STATIC ${sources} ${resources})
        set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} PUBLIC ${ARG_DEPS})
        plox_warnings(${name})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    endif()
endfunction()
