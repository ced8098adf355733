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

get_property(SV4_PC_LIBS GLOBAL PROPERTY SV4_PC_LIBS)
list(JOIN SV4_PC_LIBS " " SV4_PC_LIBS)
configure_file(cmake/source_view4.pc.in "${CMAKE_CURRENT_BINARY_DIR}/source_view4.pc" @ONLY)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/source_view4.pc"
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
