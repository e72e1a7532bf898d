# Nearly every file of the program includes the same Qt and standard
# headers, and on two cores parsing them again for each file is most of the
# build. They are compiled once per kind of target (logic, screens, and the
# tests of each) and every target of that kind reuses the result.

option(HIMAWARI_PRECOMPILED_HEADERS "Compile the common headers once per kind of target" ON)

set(_himawari_logic_headers
    <QString> <QStringList> <QByteArray> <QVariant> <QVariantList> <QDir> <QFile> <QFileInfo> <QHash>
    <QSqlQuery> <QSqlRecord> <QSqlError>
    <algorithm> <array> <cmath> <cstdint> <functional> <limits> <memory> <optional> <stdexcept> <vector>)
set(_himawari_screen_headers ${_himawari_logic_headers}
    <QApplication> <QDialog> <QWidget> <QLabel> <QPushButton> <QLineEdit> <QSpinBox> <QGroupBox>
    <QVBoxLayout> <QHBoxLayout> <QGridLayout> <QTableView> <QListView> <QHeaderView>
    <QItemSelectionModel> <QKeyEvent>)

# One carrier target per kind; its flags must be those of the targets that
# reuse its headers (the same Qt modules, the same test definitions).
function(_himawari_pch_carrier kind)
  set(source ${CMAKE_BINARY_DIR}/pch_${kind}.cpp)
  if(NOT EXISTS ${source})
    file(WRITE ${source} "// Carries the precompiled headers of one kind of target.\n")
  endif()
  add_library(himawari_pch_${kind} STATIC ${source})
  target_link_libraries(himawari_pch_${kind} PRIVATE ${ARGN})
endfunction()

function(himawari_precompiled_headers_carriers)
  _himawari_pch_carrier(logic Qt6::Core Qt6::Sql)
  target_precompile_headers(himawari_pch_logic PRIVATE ${_himawari_logic_headers})
  _himawari_pch_carrier(logic_tests Qt6::Core Qt6::Sql GTest::gtest)
  target_precompile_headers(himawari_pch_logic_tests PRIVATE ${_himawari_logic_headers} <gtest/gtest.h>)
  _himawari_pch_carrier(screens Qt6::Core Qt6::Sql Qt6::Widgets)
  target_precompile_headers(himawari_pch_screens PRIVATE ${_himawari_screen_headers})
  _himawari_pch_carrier(screens_tests Qt6::Core Qt6::Sql Qt6::Widgets Qt6::Test GTest::gtest)
  target_precompile_headers(himawari_pch_screens_tests PRIVATE ${_himawari_screen_headers} <QTest>
                            <gtest/gtest.h>)
endfunction()

# Every target declared in `dir` and below.
function(_himawari_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    _himawari_targets_below(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# Whether `target` reaches `wanted` through the program's own libraries.
function(_himawari_reaches target wanted out)
  set(seen "")
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue current)
    if(current IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${current})
    if(current STREQUAL wanted)
      set(${out} TRUE PARENT_SCOPE)
      return()
    endif()
    if(NOT TARGET ${current})
      continue()
    endif()
    get_target_property(imported ${current} IMPORTED)
    if(imported)
      continue()
    endif()
    get_target_property(links ${current} LINK_LIBRARIES)
    get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
    foreach(link IN LISTS links interface)
      if(link AND NOT link MATCHES "^\\$<")
        list(APPEND queue ${link})
      endif()
    endforeach()
  endwhile()
  set(${out} FALSE PARENT_SCOPE)
endfunction()

# Gives every C++ target of the program the precompiled headers of its kind.
# Targets with compile options of their own (the forecasts' floating-point
# contract) keep parsing the headers themselves: a precompiled header is only
# valid with the flags it was made with.
function(himawari_use_precompiled_headers)
  if(NOT HIMAWARI_PRECOMPILED_HEADERS)
    return()
  endif()
  himawari_precompiled_headers_carriers()
  _himawari_targets_below(${CMAKE_SOURCE_DIR} targets)
  foreach(target IN LISTS targets)
    if(target MATCHES "^himawari_pch_")
      continue()
    endif()
    get_target_property(type ${target} TYPE)
    if(NOT type STREQUAL "STATIC_LIBRARY" AND NOT type STREQUAL "EXECUTABLE")
      continue()
    endif()
    get_target_property(options ${target} COMPILE_OPTIONS)
    if(options)
      continue()
    endif()
    _himawari_reaches(${target} Qt6::Core uses_qt)
    if(NOT uses_qt)
      continue()
    endif()
    _himawari_reaches(${target} Qt6::Widgets widgets)
    _himawari_reaches(${target} GTest::gtest tests)
    _himawari_reaches(${target} benchmark::benchmark bench)
    if(bench)
      continue()
    endif()
    if(widgets)
      set(kind screens)
    else()
      set(kind logic)
    endif()
    if(tests)
      set(kind ${kind}_tests)
    endif()
    target_precompile_headers(${target} REUSE_FROM himawari_pch_${kind})
  endforeach()
endfunction()
