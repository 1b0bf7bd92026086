# What an installed tree offers hosts beside the plug-in and the test host
# (their own install rules sit beside their targets): the public header, the
# window-manager stand-in for hosts, a CMake package and a pkg-config file,
# the README; and the Debian package built from all of it.
include(CMakePackageConfigHelpers)

# PRVC03::headers: the LoadDll declaration.
add_library(prvc03_headers INTERFACE)
target_include_directories(prvc03_headers INTERFACE
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
set_target_properties(prvc03_headers PROPERTIES EXPORT_NAME headers)

# PRVC03::windowing: the stand-in for the operating system's window manager
# (window handles, synchronous messages, MessageBoxA). The plug-in carries
# its own copy; a host links this one to own the "TfrmMain" window that
# takes the notices and to send "Close". Both copies meet in one window table
# through the application object, as the test host's copy does.
add_library(prvc03_windowing STATIC ${PROJECT_SOURCE_DIR}/src/platform/Windows.cpp)
target_link_libraries(prvc03_windowing PUBLIC Qt6::Core PRIVATE $<BUILD_INTERFACE:prvc03_policy>)
target_include_directories(prvc03_windowing PUBLIC $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
set_target_properties(prvc03_windowing PROPERTIES
  EXPORT_NAME windowing
  OUTPUT_NAME prvc03-windowing)

install(FILES ${PROJECT_SOURCE_DIR}/include/PRVC03.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/src/platform/Windows.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/prvc03)
install(TARGETS prvc03_headers prvc03_windowing EXPORT PRVC03Targets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
# A stripping install (the package's) strips the archive's debug information
# too, which install(TARGETS) leaves alone for archives.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-debug
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:prvc03_windowing>\")
endif()")
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/prvc03)

# The CMake package, relocatable: every path is taken relative to the folder
# the package files are found in.
set(PRVC03_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/PRVC03)
install(EXPORT PRVC03Targets NAMESPACE PRVC03:: DESTINATION ${PRVC03_INSTALL_CMAKEDIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/PRVC03Config.cmake.in
  ${PROJECT_BINARY_DIR}/PRVC03Config.cmake
  INSTALL_DESTINATION ${PRVC03_INSTALL_CMAKEDIR}
  PATH_VARS CMAKE_INSTALL_INCLUDEDIR PRVC03_INSTALL_PLUGINDIR)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/PRVC03ConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/PRVC03Config.cmake ${PROJECT_BINARY_DIR}/PRVC03ConfigVersion.cmake
        DESTINATION ${PRVC03_INSTALL_CMAKEDIR})

# prvc03.pc, relocatable through ${pcfiledir}.
set(PRVC03_INSTALL_PKGCONFIGDIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH PRVC03_PC_TO_PREFIX /prefix/${PRVC03_INSTALL_PKGCONFIGDIR} /prefix)
string(REGEX REPLACE "/$" "" PRVC03_PC_TO_PREFIX "${PRVC03_PC_TO_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/prvc03.pc.in ${PROJECT_BINARY_DIR}/prvc03.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/prvc03.pc DESTINATION ${PRVC03_INSTALL_PKGCONFIGDIR})

include(${CMAKE_CURRENT_LIST_DIR}/PRVC03Package.cmake)
