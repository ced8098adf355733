# Installs the CMake package source_view4 (target source_view4::source_view4) and a pkg-config file.
include(CMakePackageConfigHelpers)

install(EXPORT source_view4Targets NAMESPACE source_view4::
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/source_view4)
configure_package_config_file(cmake/source_view4Config.cmake.in
  "${CMAKE_CURRENT_BINARY_DIR}/source_view4Config.cmake"
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/source_view4)
write_basic_package_version_file("${CMAKE_CURRENT_BINARY_DIR}/source_view4ConfigVersion.cmake"
  COMPATIBILITY SameMinorVersion)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/source_view4Config.cmake"
              "${CMAKE_CURRENT_BINARY_DIR}/source_view4ConfigVersion.cmake"
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/source_view4)

# Libraries announce themselves as -l<name>; header-only ones have nothing to link. The component
# comes first, the libraries it builds on after it. Installed libraries find each other in their
# own folder, wherever the prefix is.
get_property(announced_libs GLOBAL PROPERTY SV4_PC_LIBS)
list(REVERSE announced_libs)
set(SV4_PC_LIBS "")
foreach(flag IN LISTS announced_libs)
  string(REGEX REPLACE "^-l" "" lib "${flag}")
  if(NOT TARGET ${lib})
    continue()
  endif()
  get_target_property(type ${lib} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    set_target_properties(${lib} PROPERTIES INSTALL_RPATH "$ORIGIN")
    list(APPEND SV4_PC_LIBS "${flag}")
  endif()
endforeach()
list(JOIN SV4_PC_LIBS " " SV4_PC_LIBS)

# The .pc file finds the prefix from its own place, so the installed tree can be moved.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(SV4_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
  file(RELATIVE_PATH pc_to_prefix "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
  string(REGEX REPLACE "/$" "" pc_to_prefix "${pc_to_prefix}")
  set(SV4_PC_PREFIX "\${pcfiledir}/${pc_to_prefix}")
endif()
configure_file(cmake/source_view4.pc.in "${CMAKE_CURRENT_BINARY_DIR}/source_view4.pc" @ONLY)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/source_view4.pc"
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
