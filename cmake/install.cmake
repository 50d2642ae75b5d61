# Installing Durnix: `cmake --install BUILD [--prefix PREFIX]` puts the programs in bin/, their
# data in share/durnix/ and the desktop's files (entry, icons, file types, AppStream metadata,
# manual pages) in their standard places; `cpack -G DEB` in BUILD makes the Debian package.

include(GNUInstallDirs)

# The date of this version, for the manual pages, the AppStream release and the Debian changelog.
set(DURNIX_RELEASE_DATE "2026-12-07")
set(DURNIX_RELEASE_DATE_RFC2822 "Mon, 07 Dec 2026 12:00:00 +0000")
set(DURNIX_PACKAGE_MAINTAINER "Durnix maintainers <maintainers@durnix.example.org>"
    CACHE STRING "Maintainer of the Debian package: name <address>")

set(DURNIX_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/durnix)
set(DURNIX_DESKTOP_DIR ${PROJECT_SOURCE_DIR}/data/desktop)
set(DURNIX_INSTALL_BUILD_DIR ${PROJECT_BINARY_DIR}/install)

# ---- The programs and their data --------------------------------------------------------------

install(TARGETS durnix-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(TARGET durnix)
  install(TARGETS durnix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The program looks for its data beside itself, then in this folder seen from its own.
  file(RELATIVE_PATH DURNIX_DATA_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR}
       ${CMAKE_INSTALL_FULL_DATADIR}/durnix)
  set_property(SOURCE ${PROJECT_SOURCE_DIR}/src/platform/data_files.cpp
               DIRECTORY ${PROJECT_SOURCE_DIR}/src
               APPEND PROPERTY COMPILE_DEFINITIONS DURNIX_DATA_FROM_BIN="${DURNIX_DATA_FROM_BIN}")
  # The element database and the help pages as the build makes them beside the program.
  install(FILES ${PROJECT_BINARY_DIR}/src/Durnix.mdb DESTINATION ${DURNIX_DATA_INSTALL_DIR})
  install(DIRECTORY ${PROJECT_BINARY_DIR}/src/Durnix.hlp DESTINATION ${DURNIX_DATA_INSTALL_DIR})

  # ---- The desktop: entry, file types, AppStream metadata, icons ------------------------------

  install(FILES ${DURNIX_DESKTOP_DIR}/durnix.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${DURNIX_DESKTOP_DIR}/durnix-mime.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME durnix.xml)
  configure_file(${DURNIX_DESKTOP_DIR}/org.durnix.Durnix.metainfo.xml
                 ${DURNIX_INSTALL_BUILD_DIR}/org.durnix.Durnix.metainfo.xml @ONLY)
  install(FILES ${DURNIX_INSTALL_BUILD_DIR}/org.durnix.Durnix.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  # The icon is drawn once as SVG; the sizes of the icon theme are made from it.
  install(FILES ${DURNIX_DESKTOP_DIR}/durnix.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  find_program(DURNIX_RSVG_CONVERT rsvg-convert)
  if(DURNIX_RSVG_CONVERT)
    set(DURNIX_ICONS)
    foreach(size 16 32 48 64 128 256)
      set(icon ${DURNIX_INSTALL_BUILD_DIR}/icons/${size}x${size}/durnix.png)
      add_custom_command(OUTPUT ${icon}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${DURNIX_INSTALL_BUILD_DIR}/icons/${size}x${size}
        COMMAND ${DURNIX_RSVG_CONVERT} -w ${size} -h ${size} -o ${icon} ${DURNIX_DESKTOP_DIR}/durnix.svg
        DEPENDS ${DURNIX_DESKTOP_DIR}/durnix.svg VERBATIM)
      list(APPEND DURNIX_ICONS ${icon})
      install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(durnix_icons ALL DEPENDS ${DURNIX_ICONS})
  else()
    message(STATUS "rsvg-convert (librsvg2-bin) not found: only the SVG icon is installed")
  endif()
endif()

# ---- Manual pages and the package's documents, compressed as Debian wants them ----------------

find_program(DURNIX_GZIP gzip REQUIRED)
set(DURNIX_MAN_PAGES)
foreach(page durnix-cli durnix)
  if(page STREQUAL "durnix" AND NOT TARGET durnix)
    continue()
  endif()
  set(man ${DURNIX_INSTALL_BUILD_DIR}/man/${page}.1)
  configure_file(${PROJECT_SOURCE_DIR}/data/man/${page}.1 ${man} @ONLY)
  add_custom_command(OUTPUT ${man}.gz
    COMMAND ${DURNIX_GZIP} -9nkf ${man}
    DEPENDS ${man} VERBATIM)
  list(APPEND DURNIX_MAN_PAGES ${man}.gz)
  install(FILES ${man}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

set(DURNIX_CHANGELOG ${DURNIX_INSTALL_BUILD_DIR}/doc/changelog.Debian)
configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/changelog.in ${DURNIX_CHANGELOG} @ONLY)
add_custom_command(OUTPUT ${DURNIX_CHANGELOG}.gz
  COMMAND ${DURNIX_GZIP} -9nkf ${DURNIX_CHANGELOG}
  DEPENDS ${DURNIX_CHANGELOG} VERBATIM)
add_custom_target(durnix_documents ALL DEPENDS ${DURNIX_MAN_PAGES} ${DURNIX_CHANGELOG}.gz)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright ${DURNIX_CHANGELOG}.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/durnix)

# ---- The Debian package: cpack -G DEB ---------------------------------------------------------

set(CPACK_PACKAGE_NAME durnix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${DURNIX_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert and view spectrum files of multichannel analysers")
# The extended description, in lines short enough for a terminal.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Durnix converts spectrum files of multichannel analysers, as used in ion-beam"
  "analysis (RBS, PIXE, NRA, time of flight) and in gamma and X-ray spectroscopy,"
  "between thirteen formats and those of gamma-analysis programs (ORTEC SPE,"
  "IEC 61455, ANSI N42.42) and spreadsheets (CSV), recognising the format of"
  "each file by itself."
  "The desktop program adds a two-pane file manager, a spectrum viewer with"
  "regions of interest and spectrum arithmetic, a header editor for RUMP and"
  "SENRAS files and a periodic table; durnix-cli does the conversions and the"
  "viewer's arithmetic without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${DURNIX_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # durnix_VERSION-RELEASE_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # the libraries' packages, by dpkg-shlibdeps
# The icon theme and the file types; the desktop's own triggers refresh their caches.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme, shared-mime-info")
set(CPACK_GENERATOR DEB)
include(CPack)
