# Precompiled headers. The standard library, gtest and Qt Widgets headers
# are parsed anew by every file that includes them, which costs more than
# many a file's own code. A carrier target compiles one set of them once,
# and every library or test of the same flags reuses it (REUSE_FROM):
#   tavrix_pch          the standard library, for the libraries;
#   tavrix_qt_pch       and Qt Widgets, for the libraries over Qt Widgets;
#   tavrix_test_pch     the standard library and gtest, for the tests;
#   tavrix_ui_test_pch  and Qt Widgets, for the UI tests.
# A header set may use no definition that differs between the carrier and
# its users (the compiler then ignores the precompiled form), so the
# carriers link only what all their users link, and the tests build with
# -fPIC, as most already do through Qt. ccache caches files that use them
# only when told to ignore the time macros and definitions inside. The fuzz
# build (clang) goes without.

set(TAVRIX_PCH_HEADERS
  <algorithm> <atomic> <chrono> <condition_variable> <cstdint> <functional> <map> <memory>
  <mutex> <optional> <set> <string> <string_view> <thread> <utility> <vector>)
set(TAVRIX_QT_PCH_HEADERS
  <QApplication> <QImage> <QKeyEvent> <QMouseEvent> <QPainter> <QString> <QWidget>)
set(TAVRIX_TEST_PCH_HEADERS <gtest/gtest.h> <filesystem> <fstream> <sstream>)

# Runs ccache, where it is the launcher, with the sloppiness that
# precompiled headers need.
function(_tavrix_pch_launcher target)
  if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache$")
    set(sloppiness pch_defines,time_macros)
    if(DEFINED ENV{CCACHE_SLOPPINESS})
      string(PREPEND sloppiness "$ENV{CCACHE_SLOPPINESS},")
    endif()
    set_target_properties(${target} PROPERTIES CXX_COMPILER_LAUNCHER
      "${CMAKE_COMMAND};-E;env;CCACHE_SLOPPINESS=${sloppiness};${CMAKE_CXX_COMPILER_LAUNCHER}")
  endif()
endfunction()

function(_tavrix_pch_carrier carrier)
  if(TARGET ${carrier})
    return()
  endif()
  set(headers ${TAVRIX_PCH_HEADERS})
  set(libs "")
  if(carrier MATCHES "test")
    find_package(GTest REQUIRED)
    list(APPEND headers ${TAVRIX_TEST_PCH_HEADERS})
    list(APPEND libs GTest::gtest)
  endif()
  if(carrier MATCHES "qt|ui")
    find_package(Qt6 REQUIRED COMPONENTS Widgets)
    list(APPEND headers ${TAVRIX_QT_PCH_HEADERS})
    list(APPEND libs Qt6::Widgets)
  endif()
  set(source ${CMAKE_BINARY_DIR}/${carrier}.cpp)
  file(WRITE ${source} "// Compiles the precompiled headers that others reuse.\n")
  add_library(${carrier} OBJECT ${source})
  target_link_libraries(${carrier} PRIVATE ${libs})
  if(carrier MATCHES "test")
    tavrix_test_optimisation(${carrier})
  endif()
  target_precompile_headers(${carrier} PRIVATE ${headers})
  _tavrix_pch_launcher(${carrier})
endfunction()

# Test code is compiled at -O1 where the libraries get -O2: it runs once
# per test and spends its time in the libraries, while -O2 costs a good
# part of a test file's compile time. With debug information it carries
# line tables only (-g1): a failing test's backtrace still names its lines,
# and the full information, mostly gtest's and Qt's templates, cost a
# third of a test file's compile time. The test carriers match, so their
# precompiled headers stay usable.
function(tavrix_test_optimisation target)
  target_compile_options(${target} PRIVATE $<$<CONFIG:Release,RelWithDebInfo>:-O1>
                                           $<$<CONFIG:RelWithDebInfo>:-g1>)
endfunction()

# tavrix_reuse_pch(target carrier): `target` compiles with the carrier's
# precompiled headers.
function(tavrix_reuse_pch target carrier)
  if(TAVRIX_FUZZ)
    return()
  endif()
  _tavrix_pch_carrier(${carrier})
  target_precompile_headers(${target} REUSE_FROM ${carrier})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    target_compile_options(${target} PRIVATE -fPIC)
  endif()
  _tavrix_pch_launcher(${target})
endfunction()

# tavrix_reuse_fitting_pch(target plain widgets): `target` reuses the carrier
# `widgets` when it links Qt Widgets, else the carrier `plain`.
function(tavrix_reuse_fitting_pch target plain widgets)
  tavrix_links_target(${target} Qt6::Widgets links_widgets)
  if(links_widgets)
    tavrix_reuse_pch(${target} ${widgets})
  else()
    tavrix_reuse_pch(${target} ${plain})
  endif()
endfunction()

# Every library the folders make reuses the carrier that fits it.
function(tavrix_reuse_pch_in_folders)
  foreach(folder IN LISTS ARGN)
    _tavrix_targets_under(${PROJECT_SOURCE_DIR}/${folder} targets)
    foreach(target IN LISTS targets)
      get_target_property(type ${target} TYPE)
      if(NOT type MATCHES "^(STATIC|SHARED|OBJECT)_LIBRARY$" OR target MATCHES "_pch$")
        continue()
      endif()
      tavrix_reuse_fitting_pch(${target} tavrix_pch tavrix_qt_pch)
    endforeach()
  endforeach()
endfunction()
