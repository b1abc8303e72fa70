# The installed program and its Debian package:
#   cmake --build build --target package     (or bash scripts/package.sh)
#
# Installed layout (prefix /usr in the package):
#   lib/verdanel/bin/verdanel, verdanel-cli  the programs
#   lib/verdanel/INI, Database, input        links into share/verdanel, so the
#                                            installed folder is an application
#                                            folder like build/app (read-only)
#   share/verdanel/...                       the samples each user's folder is made from
#   bin/verdanel, bin/verdanel-cli           launchers: they work in the user's
#                                            folder, $XDG_DATA_HOME/verdanel
# Nothing is installed into users' homes and no package script touches them,
# so removing the package leaves every user's folder as it was.

set(VERDANEL_PACKAGING_DIR ${CMAKE_BINARY_DIR}/packaging)
set(VERDANEL_PACKAGING_SRC ${CMAKE_SOURCE_DIR}/packaging)
file(MAKE_DIRECTORY ${VERDANEL_PACKAGING_DIR}/links)

install(TARGETS verdanel verdanel-cli RUNTIME DESTINATION lib/verdanel/bin)

foreach(program verdanel verdanel-cli)
  set(PROGRAM ${program})
  configure_file(${VERDANEL_PACKAGING_SRC}/launcher.sh.in ${VERDANEL_PACKAGING_DIR}/launchers/${program} @ONLY)
  install(PROGRAMS ${VERDANEL_PACKAGING_DIR}/launchers/${program} DESTINATION bin)
endforeach()

foreach(folder INI Database input)
  file(CREATE_LINK ../../share/verdanel/${folder} ${VERDANEL_PACKAGING_DIR}/links/${folder} SYMBOLIC)
  install(FILES ${VERDANEL_PACKAGING_DIR}/links/${folder} DESTINATION lib/verdanel)
endforeach()

# The samples. The package gets a store made afresh from the sample chemicals,
# never build/app's store, which may hold the developer's own runs.
set(VERDANEL_PACKAGED_STORE ${VERDANEL_PACKAGING_DIR}/Verdanel.mdb)
add_custom_command(OUTPUT ${VERDANEL_PACKAGED_STORE}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${VERDANEL_PACKAGED_STORE}
  COMMAND verdanel-cli init-store ${VERDANEL_PACKAGED_STORE} --chemicals ${CMAKE_SOURCE_DIR}/data/sample_chemicals.tsv
  DEPENDS verdanel-cli ${CMAKE_SOURCE_DIR}/data/sample_chemicals.tsv
  COMMENT "Making the package's sample store" VERBATIM)
install(FILES ${CMAKE_SOURCE_DIR}/INI/CONNECTION.INI DESTINATION share/verdanel/INI)
install(FILES ${VERDANEL_PACKAGED_STORE} DESTINATION share/verdanel/Database)
install(FILES ${VERDANEL_SAMPLE_INPUTS} DESTINATION share/verdanel/input)

# Desktop integration: menu entry, AppStream metadata, icons.
configure_file(${VERDANEL_PACKAGING_SRC}/verdanel.desktop.in
               ${VERDANEL_PACKAGING_DIR}/${VERDANEL_APP_ID}.desktop @ONLY)
configure_file(${VERDANEL_PACKAGING_SRC}/verdanel.metainfo.xml.in
               ${VERDANEL_PACKAGING_DIR}/${VERDANEL_APP_ID}.metainfo.xml @ONLY)
install(FILES ${VERDANEL_PACKAGING_DIR}/${VERDANEL_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${VERDANEL_PACKAGING_DIR}/${VERDANEL_APP_ID}.metainfo.xml DESTINATION share/metainfo)
foreach(size 16 32 48 256)
  install(FILES ${CMAKE_SOURCE_DIR}/src/gui/resources/verdanel_${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${VERDANEL_APP_ID}.png)
endforeach()

# Manual pages, compressed as Debian keeps them.
set(VERDANEL_MAN_PAGES)
foreach(page verdanel.1 verdanel-cli.1)
  add_custom_command(OUTPUT ${VERDANEL_PACKAGING_DIR}/man/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${VERDANEL_PACKAGING_SRC}/${page} ${VERDANEL_PACKAGING_DIR}/man/${page}
    COMMAND gzip -9nf ${VERDANEL_PACKAGING_DIR}/man/${page}
    DEPENDS ${VERDANEL_PACKAGING_SRC}/${page}
    VERBATIM)
  list(APPEND VERDANEL_MAN_PAGES ${VERDANEL_PACKAGING_DIR}/man/${page}.gz)
endforeach()
install(FILES ${VERDANEL_MAN_PAGES} DESTINATION share/man/man1)

add_custom_target(package_files ALL DEPENDS ${VERDANEL_PACKAGED_STORE} ${VERDANEL_MAN_PAGES})

# The Debian package: verdanel_<version>-1_<arch>.deb. The libraries it needs
# come from dpkg-shlibdeps; the fonts and Qt's Korean translation are named.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME verdanel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Verdanel developers")
set(CPACK_PACKAGE_CONTACT "Verdanel developers <maintainers@users.noreply.c-seed-7d528c1d.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pesticide fate model for streams, ditches and ponds")
set(CPACK_PACKAGE_DESCRIPTION
"Verdanel estimates where a pesticide goes when it is sprayed from a vehicle
driving along a stream, a ditch or a pond. A second-by-second multimedia fate
model moves the chemical between the air above each strip, the plants and
soil of each strip and the water, and stores the concentrations of every
simulated minute. The desktop program (Korean interface) shows results as
tables and a chart and exports them; verdanel-cli runs and exports scenarios
without a screen.

Each user works in their own folder, ~/.local/share/verdanel, made from the
installed sample store, chemicals and weather on the first start.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-nanum, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")
include(CPack)
