# Functions that let every folder declare its targets in a few lines; sources are found by glob
# so that adding a file needs no edit of a shared list.

# Adds every direct subfolder of `dir` that has a CMakeLists.txt, in name order.
function(sv4_add_subdirectories dir)
  file(GLOB children LIST_DIRECTORIES true "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*")
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY "${child}" AND EXISTS "${child}/CMakeLists.txt")
      add_subdirectory("${child}")
    endif()
  endforeach()
endfunction()

# A host library from include/ and src/*.cpp of the current folder: a shared library when it has
# sources, a header-only interface library otherwise. Installs its headers and joins the export.
#   sv4_host_library(name PUBLIC_DEPS ... PRIVATE_DEPS ...)
function(sv4_host_library name)
  cmake_parse_arguments(ARG "" "" "PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/src/*.cpp")
  if(sources)
    add_library(${name} SHARED ${sources})
    target_include_directories(${name} PUBLIC
      $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>
      $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
    target_include_directories(${name} PRIVATE "${CMAKE_CURRENT_SOURCE_DIR}/src")
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
    set_target_properties(${name} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION 0
                                             EXPORT_NAME ${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE
      $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>
      $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
    target_link_libraries(${name} INTERFACE ${ARG_PUBLIC_DEPS})
  endif()
  add_library(source_view4::${name} ALIAS ${name})
  install(TARGETS ${name} EXPORT source_view4Targets
          LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
          ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}/include/" DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
endfunction()

# A GoogleTest executable from every .cpp of the current folder, registered with CTest.
#   sv4_add_test(name LIBS ... [LABELS ...])
function(sv4_add_test name)
  cmake_parse_arguments(ARG "" "" "LIBS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} sv4_test_support GTest::gtest GTest::gmock
                                        GTest::gtest_main)
  set(properties ENVIRONMENT "SV4_BUILD_DIR=${CMAKE_BINARY_DIR}")
  if(ARG_LABELS)
    list(APPEND properties LABELS "${ARG_LABELS}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES ${properties})
endfunction()

# A Google Benchmark executable; `make bench` runs every target listed in SV4_BENCHMARKS.
#   sv4_add_benchmark(name SOURCES ... LIBS ...)
function(sv4_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
  set_property(GLOBAL APPEND PROPERTY SV4_BENCHMARKS ${name})
endfunction()
