# `make package` (the package target): one Debian package holding everything
# that is installed.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME prvc03)
set(CPACK_PACKAGE_VENDOR "PRVC03 developers")
set(CPACK_PACKAGE_CONTACT "PRVC03 developers <prvc03@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "copy-user-permissions plug-in for Qt hosts, with a test host")
set(CPACK_PACKAGE_INSTALL_DIRECTORY prvc03)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# The libraries the plug-in and the host link come from dpkg-shlibdeps; the
# SQL drivers are Qt plug-ins loaded at run time, so they are named here:
# SQLite is the test host's default database, the others are for servers.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql, libqt6sql6-odbc, fonts-wqy-zenhei")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-base-dev, pkg-config")
# The long description; CPack puts the summary above it as the synopsis,
# indents it and writes empty lines as " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "PRVC03 is a plug-in for a business-administration host: the operator names
one existing user and any number of other users, and the plug-in copies every
permission row of the first to each of the others, one transaction per user.
Users are picked through two generic lookup windows with quick search,
condition search, sort orders and browsing. All texts are Simplified Chinese.

The plug-in, libPRVC03.so, exports one function, LoadDll, and is loaded by the
host at run time with the host's Qt application object and its open
QSqlDatabase connection.

This package contains the plug-in, the test host prvc03-host (which opens the
plug-in on a demo SQLite database), and for host developers the header
PRVC03.h, the window-manager stand-in libprvc03-windowing.a, a CMake package
(find_package(PRVC03)) and a pkg-config file (prvc03).")

include(CPack)
