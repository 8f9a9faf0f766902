# The installed program, laid out for a desktop system under the prefix:
#
#   bin/volantix                        the program (helper programs go beside it)
#   share/volantix/                     its run-time files: everything of <build>/Resources
#                                       (geoid model, sounds, user manual); the
#                                       program finds them from its own location
#   share/applications/<id>.desktop     the desktop entry (opens movies: Exec volantix %F)
#   share/icons/hicolor/<n>x<n>/apps/   the icon, drawn by tools/makeart at each size
#   share/metainfo/<id>.metainfo.xml    AppStream metadata
#   share/doc/volantix/                 README, LICENSE and the Debian copyright file
#
#   cmake --install build --prefix P    installs into P (after a full build)
#   cd build && cpack -G DEB            builds volantix_<version>_<arch>.deb for /usr

set(VX_DESKTOP_DIR ${PROJECT_SOURCE_DIR}/resources/desktop)
configure_file(${VX_DESKTOP_DIR}/${VX_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/generated/${VX_APP_ID}.metainfo.xml @ONLY)

# addexif goes beside the program: it is looked for in the application directory.
install(TARGETS volantix addexif RUNTIME DESTINATION bin)
install(DIRECTORY ${VX_RESOURCE_DIR}/ DESTINATION share/volantix)
install(FILES ${VX_DESKTOP_DIR}/${VX_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${CMAKE_BINARY_DIR}/generated/${VX_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(DIRECTORY ${VX_APP_ICON_DIR} DESTINATION share/icons)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION share/doc/volantix)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian-copyright DESTINATION share/doc/volantix RENAME copyright)

# ---- Debian package ---------------------------------------------------------
# The shared libraries the program links (Qt 5, GeographicLib, the C++
# runtime) become dependencies through dpkg-shlibdeps; what it starts or
# loads at run time without linking it is named here: the media tool, the
# player's GStreamer decoders and Qt's multimedia plugins.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME volantix)
set(CPACK_PACKAGE_VENDOR Norvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Norvane <volantix@norvane.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Review drone and action camera movies with their flight telemetry")
# The first line of the package's description is the summary above.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Volantix plays a folder of movies from a camera drone or an action\n"
    "camera one after another, while a dashboard of gauges, a map with the\n"
    "speed-coloured route, six graphs and a movie list follow the playback\n"
    "position. It reads subtitle telemetry, flight-log tables, GPX tracks and\n"
    "the GPMF track of MP4 files, repairs damaged telemetry and exports CSV,\n"
    "GPX and KML files, also without a window.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "ffmpeg, gstreamer1.0-libav, gstreamer1.0-plugins-good, libqt5multimedia5-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, qtwayland5")
include(CPack)
