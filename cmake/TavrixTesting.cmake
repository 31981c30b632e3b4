# tavrix_add_test(NAME name SOURCES ... LIBS ...)
# Every test binary runs in a fresh temporary working directory of its own,
# removed afterwards: the program finds its folders from the working directory.
function(tavrix_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  add_test(NAME ${T_NAME}
           COMMAND ${PROJECT_SOURCE_DIR}/tests/support/in_tmpdir.sh $<TARGET_FILE:${T_NAME}>)
endfunction()

# A benchmark: a plain executable, never registered as a test.
function(tavrix_add_benchmark)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBS})
endfunction()

# tavrix_add_ui_test(NAME name SOURCES ... LIBS ...)
# A Qt Widgets test: like tavrix_add_test, but its main (tests/support/ui)
# runs offscreen with the program's fonts and the scripted modal host.
function(tavrix_add_ui_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${T_NAME} ${T_SOURCES})
  set_target_properties(${T_NAME} PROPERTIES AUTOMOC ON)
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} tavrix_ui_test_main tavrix_ui_test_support)
  add_test(NAME ${T_NAME}
           COMMAND ${PROJECT_SOURCE_DIR}/tests/support/in_tmpdir.sh $<TARGET_FILE:${T_NAME}>)
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endfunction()
