# SPDX-License-Identifier: GPL-3.0-or-later
# `make package`: a Debian package of everything `make install` puts in place, built from the
# package preset (installed below /usr, the helper in /usr/libexec/quillby).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillby-pro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quillby Pro")
set(CPACK_PACKAGE_CONTACT "Quillby Pro developers <developers@quillby.pro>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop maintenance utility: disk space, memory, cleaning")
# Debian shows the description as it stands: lines of at most 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Quillby Pro sits in the tray and shows every mounted volume with its free"
  "space and the machine's memory. Its main window holds the tools to get disk"
  "space back safely: a system clean (caches, logs, trash, downloads), an"
  "application uninstaller, a duplicate finder, a disk-usage browser, a memory"
  "page with purge, a login-items manager and a page of machine facts. The"
  "quillby command drives the same engines for scripts and headless machines.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quillby.pro/")
# Libraries come from dpkg-shlibdeps; Qt's platform and SVG plugins are loaded at run time, so
# no library names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
# Without pkexec nothing runs as administrator, without udisks2 eject falls back to umount.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pkexec, udisks2")
include(CPack)

# What Debian asks of every package: its copyright and its changelog, compressed.
set(package_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/changelog.Debian.gz
  COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/resources/debian/changelog
          > ${PROJECT_BINARY_DIR}/changelog.Debian.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/resources/debian/changelog)
add_custom_target(quillby_package_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.Debian.gz)
install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/copyright
              ${PROJECT_BINARY_DIR}/changelog.Debian.gz
        DESTINATION ${package_doc_dir})
