include(${CMAKE_CURRENT_LIST_DIR}/TavrixPrecompiled.cmake)

# tavrix_add_test(NAME name SOURCES ... LIBS ...)
# Every test binary runs in a fresh temporary working directory of its own,
# removed afterwards: the program finds its folders from the working directory.
function(tavrix_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  tavrix_reuse_pch(${T_NAME} tavrix_test_pch)
  tavrix_test_optimisation(${T_NAME})
  tavrix_register_test(${T_NAME})
endfunction()

# tavrix_add_test_library(NAME name SOURCES ... PUBLIC ... PRIVATE ...)
# A fixture shared by test files, compiled once rather than in each file
# that includes its header. It builds as the tests do, with their
# optimisation and precompiled headers; those carry gtest, so it links
# gtest (for its flags) whether its bodies use it or not.
function(tavrix_add_test_library)
  cmake_parse_arguments(L "" "NAME" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  find_package(GTest REQUIRED)
  add_library(${L_NAME} STATIC ${L_SOURCES})
  target_include_directories(${L_NAME} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${L_NAME} PUBLIC ${L_PUBLIC} PRIVATE ${L_PRIVATE} GTest::gtest)
  tavrix_reuse_fitting_pch(${L_NAME} tavrix_test_pch tavrix_ui_test_pch)
  tavrix_test_optimisation(${L_NAME})
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
  tavrix_reuse_pch(${T_NAME} tavrix_ui_test_pch)
  tavrix_test_optimisation(${T_NAME})
  tavrix_register_test(${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endfunction()

# Registers a test binary with CTest, run by tests/support/in_tmpdir.sh. A
# binary that links the channels also gets the isolated port scan root
# (tests/support/isolated_ports.cpp), so none of its tests can list, and so
# open, a real serial port.
function(tavrix_register_test name)
  add_test(NAME ${name}
           COMMAND ${PROJECT_SOURCE_DIR}/tests/support/in_tmpdir.sh $<TARGET_FILE:${name}>)
  tavrix_links_target(${name} comm links_comm)
  if(links_comm)
    target_link_libraries(${name} PRIVATE tavrix_isolated_ports)
  endif()
endfunction()

# Sets `out` to TRUE when `target` links `wanted`, directly or through the
# libraries it links (all of them defined before the tests are).
function(tavrix_links_target target wanted out)
  set(todo ${target})
  set(seen "")
  set(${out} FALSE PARENT_SCOPE)
  while(todo)
    list(POP_FRONT todo current)
    # Compared first: an imported target such as Qt6::Widgets is not
    # visible from every directory.
    if(current STREQUAL wanted)
      set(${out} TRUE PARENT_SCOPE)
      return()
    endif()
    if(current IN_LIST seen OR NOT TARGET ${current})
      continue()
    endif()
    list(APPEND seen ${current})
    get_target_property(imported ${current} IMPORTED)
    if(imported)
      continue()
    endif()
    get_target_property(type ${current} TYPE)
    set(libs "")
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(direct ${current} LINK_LIBRARIES)
      if(direct)
        list(APPEND libs ${direct})
      endif()
    endif()
    get_target_property(usage ${current} INTERFACE_LINK_LIBRARIES)
    if(usage)
      list(APPEND libs ${usage})
    endif()
    foreach(lib IN LISTS libs)
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" lib "${lib}")
      list(APPEND todo ${lib})
    endforeach()
  endwhile()
endfunction()
