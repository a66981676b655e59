# How an install lays Vortrel out, and the files that let other programs build on it: the
# headers a host includes, the CMake package (find_package(Vortrel) with Vortrel::Control and
# Vortrel::Widget) and vortrel.pc. The folders' own rules install their targets into the
# export set VortrelTargets; this file is included before them, for the directories.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The headers keep the folders their includes name ("control/ITimelineControl.h") under
# include/vortrel, which the targets put on the include path; include/vortrel also holds the
# two headers hosts include as <vortrel/TimelineWidget.h> and <vortrel/TimelineControl.h>,
# found through include/.
set(VORTREL_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/vortrel)
set(VORTREL_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Vortrel)
set(VORTREL_INSTALL_PKGCONFIGDIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The package is the Linux build's: the Windows build installs its targets in the same
# folders but has no widget, Linux back ends or package files.
if(WIN32)
  return()
endif()

# The libraries of the package in link order (each before the ones it uses), for vortrel.pc.
set(VORTREL_LINK_ORDER vortrel_widget vortrel_platform_linux vortrel_platform_av vortrel_control vortrel_views
                       vortrel_resources vortrel_mediafile vortrel_model vortrel_editing
                       vortrel_ports vortrel_base)
# The system modules the libraries and their headers use, by their pkg-config names.
set(VORTREL_PC_REQUIRES Qt5Widgets Qt5Gui Qt5Core mlt++-7 libavformat libavcodec libavutil
                        libswscale libswresample tinyxml2 xcb)

# vortrel_header_closure(OUT HEADER...): the headers of src/ that the HEADERs include, directly
# or through one another, relative to src/. Configuring again follows a change of any of them.
function(vortrel_header_closure out)
  set(found "")
  set(todo ${ARGN})
  while(todo)
    list(POP_FRONT todo header)
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${header})
    file(STRINGS ${header} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    get_filename_component(here ${header} DIRECTORY)
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" name "${line}")
      if(EXISTS ${PROJECT_SOURCE_DIR}/src/${name})
        set(path ${PROJECT_SOURCE_DIR}/src/${name})
      elseif(EXISTS ${here}/${name})
        set(path ${here}/${name})
      else()
        message(FATAL_ERROR "${header} includes \"${name}\", which is no header of src/")
      endif()
      file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR}/src ${path})
      if(relative MATCHES "^\\.\\./")
        message(FATAL_ERROR "${header} includes \"${name}\", which is outside src/")
      endif()
      if(NOT relative IN_LIST found)
        list(APPEND found ${relative})
        list(APPEND todo ${path})
      endif()
    endforeach()
  endwhile()
  list(SORT found)
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# The headers: the hosts' own and every header of src/ they reach, nothing more.
file(GLOB host_headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/include/vortrel/*.h)
vortrel_header_closure(public_headers ${host_headers})
install(FILES ${host_headers} DESTINATION ${VORTREL_INSTALL_INCLUDEDIR})
foreach(header IN LISTS public_headers)
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${PROJECT_SOURCE_DIR}/src/${header} DESTINATION ${VORTREL_INSTALL_INCLUDEDIR}/${folder})
endforeach()

# The CMake package: the targets, a config that finds what they link, and its version.
install(EXPORT VortrelTargets NAMESPACE Vortrel:: DESTINATION ${VORTREL_INSTALL_CMAKEDIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/VortrelConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/package/VortrelConfig.cmake
                              INSTALL_DESTINATION ${VORTREL_INSTALL_CMAKEDIR})
# Before 1.0 a minor version may break hosts, so only the same minor version matches.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/VortrelConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/package/VortrelConfig.cmake
              ${PROJECT_BINARY_DIR}/package/VortrelConfigVersion.cmake
        DESTINATION ${VORTREL_INSTALL_CMAKEDIR})

# vortrel.pc names its folders from where it lies, so an install under any prefix (cmake
# --install --prefix) finds its own headers and libraries.
file(RELATIVE_PATH pc_to_prefix /prefix/${VORTREL_INSTALL_PKGCONFIGDIR} /prefix)
string(REGEX REPLACE "/$" "" pc_to_prefix "${pc_to_prefix}")
list(TRANSFORM VORTREL_LINK_ORDER REPLACE "^vortrel_" "-lvortrel_" OUTPUT_VARIABLE pc_libs)
list(JOIN pc_libs " " VORTREL_PC_LIBS)
list(JOIN VORTREL_PC_REQUIRES " " VORTREL_PC_REQUIRES_TEXT)
set(VORTREL_PC_PREFIX "\${pcfiledir}/${pc_to_prefix}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/vortrel.pc.in ${PROJECT_BINARY_DIR}/package/vortrel.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/package/vortrel.pc DESTINATION ${VORTREL_INSTALL_PKGCONFIGDIR})
