# Installing Lumiquest as a desktop program, and its Debian package (./run package).
#
# Everything the program's package holds is installed as the component "program": the
# executable (app/CMakeLists.txt), its desktop entry, the icon in the hicolor theme, the AppStream
# metainfo, the man page and the package documents. The package is built from that component
# alone, so what other folders install (the virtual lab, say) never lands in it.

include(${CMAKE_CURRENT_LIST_DIR}/identity.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/icons.cmake)

set(vqs_packaging_src ${CMAKE_CURRENT_LIST_DIR})
set(vqs_packaging_out ${CMAKE_BINARY_DIR}/packaging)

# ---- Files filled in with the version and the id -------------------------------------------

configure_file(${vqs_packaging_src}/lumiquest.desktop.in
               ${vqs_packaging_out}/${VQS_APP_ID}.desktop @ONLY)
configure_file(${vqs_packaging_src}/metainfo.xml.in
               ${vqs_packaging_out}/${VQS_APP_ID}.metainfo.xml @ONLY)
configure_file(${vqs_packaging_src}/lumiquest.1.in ${vqs_packaging_out}/lumiquest.1 @ONLY)
configure_file(${vqs_packaging_src}/copyright.in ${vqs_packaging_out}/copyright @ONLY)
configure_file(${vqs_packaging_src}/changelog.in ${vqs_packaging_out}/changelog @ONLY)

# Debian keeps man pages and changelogs compressed, without a time stamp in the gzip header.
set(vqs_compressed_docs)
foreach(doc lumiquest.1 changelog)
  add_custom_command(OUTPUT ${vqs_packaging_out}/${doc}.gz
    COMMAND gzip -9 -n -k -f ${doc}
    WORKING_DIRECTORY ${vqs_packaging_out}
    DEPENDS ${vqs_packaging_out}/${doc}
    VERBATIM)
  list(APPEND vqs_compressed_docs ${vqs_packaging_out}/${doc}.gz)
endforeach()
add_custom_target(lumiquest_package_files ALL DEPENDS ${vqs_compressed_docs})

# ---- Installation ----------------------------------------------------------------------------

install(FILES ${vqs_packaging_out}/${VQS_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT program)
install(FILES ${vqs_packaging_out}/${VQS_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT program)
install(FILES ${VQS_ICON_SVG} RENAME ${VQS_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT program)
foreach(size IN LISTS VQS_ICON_SIZES)
  # Rendered for the windows in app/ (vqs_render_icon_pngs there).
  install(FILES ${CMAKE_BINARY_DIR}/app/icons/${size}.png RENAME ${VQS_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          COMPONENT program)
endforeach()
install(FILES ${vqs_packaging_out}/lumiquest.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)
install(FILES ${vqs_packaging_out}/copyright ${vqs_packaging_out}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${VQS_PACKAGE_NAME} COMPONENT program)

# ---- The Debian package ----------------------------------------------------------------------

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${VQS_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR NORVALE)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "measure and grade picture monitors with light probes")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME ${VQS_PACKAGE_NAME})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # lumiquest_<version>_<architecture>.deb
# The synopsis line is CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the text below it.
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION
    "Lumiquest measures a picture monitor with one or two light probes
(colorimeters or spectroradiometers), grades it against EBU Tech 3325 and
the greyscale standard display function of DICOM PS3.14, keeps reports as
text files, exchanges them with monitors over serial links and the network,
and prints a six-page report.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VQS_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries the program links come from dpkg-shlibdeps. What it loads at run time is named
# here: Qt's platform plugins and the fonts its windows and charts are drawn with.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2, fonts-dejavu-core")

include(CPack)
