# The Debian package: `cmake --build BUILD --target package` (or
# scripts/package.sh, a packager's Release build) writes
# wintermere_<version>_<arch>.deb. It holds what an install to /usr puts in
# place, the system-wide settings file with install_path among it, whatever
# the build's own CMAKE_INSTALL_PREFIX.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wintermere)
set(CPACK_PACKAGE_VENDOR Quillory)
set(CPACK_PACKAGE_CONTACT "Quillory <wintermere@quillory.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.quillory.example/wintermere")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "seasonal animated screen saver")
set(CPACK_PACKAGE_DESCRIPTION_FILE "${CMAKE_CURRENT_LIST_DIR}/debian/description")

# Installed below a staging folder (DESTDIR) with the prefix /usr, so that
# every path the install writes into its files (the hosts' entry, the
# recorded install_path) is the installed one.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

# The libraries come from the binaries; SDL and SDL_mixer are loaded, and
# the sound font and the fonts read, at run time, which no tool can see.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "timgm6mb-soundfont, fonts-liberation, libsdl2-2.0-0 (>= 2.0.16), libsdl2-mixer-2.0-0 (>= 2.6.0)")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xscreensaver | mate-screensaver")

# The system-wide settings file is the administrator's to change: dpkg
# keeps their changes on upgrade. No maintainer scripts.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${CMAKE_CURRENT_LIST_DIR}/debian/conffiles")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

# Debian's documentation files: the copyright notice and the changelog.
set(WM_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/wintermere)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright DESTINATION ${WM_DOC_DIR})
wm_install_compressed(wm_changelog ${CMAKE_CURRENT_LIST_DIR}/debian/changelog ${WM_DOC_DIR})
# Lintian's reports that are known to be wrong for this package, each with its reason.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME wintermere)

include(CPack)
