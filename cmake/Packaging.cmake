# cpack -G DEB: one package with the IDE shell, both add-in packages, the favorites tool, the
# help topics, the desktop entry and the manual page, installed under /usr. Library
# dependencies are computed by dpkg-shlibdeps; the forms' font is named, as no library
# links it.
set(CPACK_PACKAGE_NAME quendle)
set(CPACK_PACKAGE_VENDOR Quarvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Favorites add-in for the IDE, with an IDE shell to run it and the favorites tool")
set(CPACK_PACKAGE_DESCRIPTION
    "Keeps favorite projects, files and folders at hand in a Favorites menu of the IDE. \
The package holds the add-in in its two builds (Quendle5 and Quendle4), the IDE shell that \
loads them (ide-shell) and the favorites command-line tool for scripting the stored \
favorites.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quendle maintainers <maintainers@quendle.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(QUENDLE_GUI)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation2)
endif()
include(CPack)
