# `make package`: a Debian package whose dependencies come from the libraries the binaries use.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ploxwin)
set(CPACK_PACKAGE_VENDOR Hexwold)
set(CPACK_PACKAGE_CONTACT "PloxWin maintainers <maintainers@hexwold.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Plot scientific data on paper-sized pages")
set(CPACK_PACKAGE_DESCRIPTION
    "PloxWin plots two-dimensional scientific data on paper-sized pages, fits curves and exports PNG, PDF and SVG.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Pages are laid out with these fonts; no library names them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils")
include(CPack)
