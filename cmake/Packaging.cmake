# cpack -G DEB: one package with the IDE shell, both add-in packages, the favorites tool, the
# help topics, the desktop entry, the manual pages and the bash completion, installed under
# /usr, with the copyright file and changelog Debian asks for. Library dependencies are
# computed by dpkg-shlibdeps; the forms' font is named, as no library links it.

# Who distributes the package: DEBFULLNAME and DEBEMAIL, as Debian's own tools take them,
# else the makers.
if(DEFINED ENV{DEBFULLNAME} AND DEFINED ENV{DEBEMAIL})
    set(quendle_default_maintainer "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
else()
    set(quendle_default_maintainer "Quarvel Favorites Team <favorites@quarvel.invalid>")
endif()
set(QUENDLE_MAINTAINER "${quendle_default_maintainer}" CACHE STRING
    "Maintainer of the Debian package: \"Name <address>\"")

set(CPACK_PACKAGE_NAME quendle)
set(CPACK_PACKAGE_VENDOR Quarvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Favorites add-in for the IDE, with an IDE shell to run it and the favorites tool")
# Wrapped here: Debian's control file takes the lines as written (CPack indents them).
set(CPACK_PACKAGE_DESCRIPTION "Keeps favorite projects, files and folders at hand in a Favorites menu of the
IDE. The package holds the add-in in its two builds (Quendle5 and Quendle4),
the IDE shell that loads them (ide-shell) and the favorites command-line tool
for scripting the stored favorites.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUENDLE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(QUENDLE_GUI)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation2)
endif()

set(quendle_doc ${CMAKE_BINARY_DIR}/debian-doc)
configure_file(cmake/debian/copyright ${quendle_doc}/copyright @ONLY)
configure_file(cmake/debian/changelog ${quendle_doc}/changelog @ONLY)
find_program(QUENDLE_GZIP gzip REQUIRED)
add_custom_command(
    OUTPUT ${quendle_doc}/changelog.gz
    COMMAND ${QUENDLE_GZIP} -9nkf ${quendle_doc}/changelog
    DEPENDS ${quendle_doc}/changelog
    VERBATIM)
add_custom_target(quendle_changelog ALL DEPENDS ${quendle_doc}/changelog.gz)
install(FILES ${quendle_doc}/copyright ${quendle_doc}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quendle)
include(CPack)
