# Test suites. Native builds: one GoogleTest program per folder of tests/ (tests/wine excluded).
# Windows builds: one program per folder of tests/wine/, run under Wine through scripts/wine-run.sh.
# A test folder with its own CMakeLists.txt is added as it is instead.

if(WIN32)
  # GoogleTest from the Debian sources, cross-compiled with the product's flags.
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(_vozuv_saved_flags ${CMAKE_CXX_FLAGS})
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(t gtest gtest_main gmock gmock_main)
    if(TARGET ${t})
      # The test framework's own speed does not matter: built at -O1 it compiles in half the time.
      target_compile_options(${t} PRIVATE -Wno-error -O1)
      if(NOT TARGET GTest::${t})
        add_library(GTest::${t} ALIAS ${t})
      endif()
    endif()
  endforeach()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
  set(VOZUV_TEST_ROOT ${CMAKE_SOURCE_DIR}/tests/wine)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
  set(VOZUV_TEST_ROOT ${CMAKE_SOURCE_DIR}/tests)
endif()

# vozuv_add_test_program(NAME SOURCES...): a GoogleTest program linked with the product code.
function(vozuv_add_test_program name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE vozuv GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    VOZUV_SOURCE_DIR="${CMAKE_SOURCE_DIR}" VOZUV_BINARY_DIR="${CMAKE_BINARY_DIR}")
  if(WIN32)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 900)
  else()
    # A settings folder of the tree's own: a size the developer chose in a real editor must not change the
    # pictures the tests expect.
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300
      ENVIRONMENT "XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-config")
  endif()
endfunction()

file(GLOB _vozuv_test_dirs LIST_DIRECTORIES true ${VOZUV_TEST_ROOT}/*)
foreach(dir ${_vozuv_test_dirs})
  if(NOT IS_DIRECTORY ${dir})
    continue()
  endif()
  get_filename_component(sub ${dir} NAME)
  if(NOT WIN32 AND sub STREQUAL "wine")
    continue()
  endif()
  if(EXISTS ${dir}/CMakeLists.txt)
    add_subdirectory(${dir} ${CMAKE_BINARY_DIR}/tests/${sub})
    continue()
  endif()
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(srcs)
    if(WIN32)
      vozuv_add_test_program(wine_${sub} ${srcs})
    else()
      vozuv_add_test_program(test_${sub} ${srcs})
    endif()
  endif()
endforeach()

# The editor tests' quarantining allocator also serves the controls, whose host may close the editor
# from inside a drag.
if(TARGET test_controls)
  target_sources(test_controls PRIVATE ${CMAKE_SOURCE_DIR}/tests/editor/FreedMemoryQuarantine.cpp)
endif()
