# Shared helpers for the targets: warnings, and one test executable per test folder.

function(varlin_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# Every test fails after this many seconds instead of hanging the run (a dialog that never
# appears, a child that never ends); the helpers, the acceptance cases and the fuzz
# targets' replays all take it.
set(VARLIN_TEST_TIMEOUT 60)
if(VARLIN_SANITIZE)
  set(VARLIN_TEST_TIMEOUT 180)
endif()

# Tests never touch the user's settings: QSettings on Linux looks below XDG_CONFIG_HOME.
set(VARLIN_TEST_ENVIRONMENT "XDG_CONFIG_HOME=${PROJECT_BINARY_DIR}/test-config;XDG_STATE_HOME=${PROJECT_BINARY_DIR}/test-state")

# A GoogleTest executable from every .cpp of a test folder, linked to the core.
function(varlin_gtest name folder)
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE varlin_core GTest::gtest GTest::gtest_main ${ARGN})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE VARLIN_TEST_DATA="${PROJECT_SOURCE_DIR}/tests"
                                             VARLIN_BINARY_DIR="${PROJECT_BINARY_DIR}")
  varlin_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "${VARLIN_TEST_ENVIRONMENT}"
                                  TIMEOUT ${VARLIN_TEST_TIMEOUT})
endfunction()

# One Qt Test executable per .cpp of the widget test folder.
function(varlin_qtest folder)
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  foreach(source ${sources})
    get_filename_component(base ${source} NAME_WE)
    add_executable(qt_${base} ${source})
    set_target_properties(qt_${base} PROPERTIES AUTOMOC ON)
    target_link_libraries(qt_${base} PRIVATE varlin_ui varlin_core Qt6::Test)
    target_include_directories(qt_${base} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(qt_${base} PRIVATE VARLIN_TEST_DATA="${PROJECT_SOURCE_DIR}/tests"
                                                  VARLIN_BINARY_DIR="${PROJECT_BINARY_DIR}")
    varlin_warnings(qt_${base})
    add_test(NAME qt_${base} COMMAND qt_${base})
    set_tests_properties(qt_${base} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${VARLIN_TEST_ENVIRONMENT}"
                                               TIMEOUT ${VARLIN_TEST_TIMEOUT})
  endforeach()
endfunction()
