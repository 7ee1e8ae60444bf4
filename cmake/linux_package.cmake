# Where the Linux program installs (any prefix: it finds its data from its
# own location), and its Debian package, made by CPack.
include(GNUInstallDirs)

set(SOUND3D_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

# The manual page and the changelog are installed compressed, as Debian's
# policy wants, and always alike for the same text.
function(sound3d_compress source output)
  add_custom_command(
    OUTPUT ${output}
    COMMAND Python3::Interpreter -c
            "import gzip,sys; gzip.GzipFile(sys.argv[2],'wb',9,mtime=0).write(open(sys.argv[1],'rb').read())"
            ${source} ${output}
    DEPENDS ${source}
    VERBATIM)
endfunction()
set(SOUND3D_MAN_PAGE ${CMAKE_BINARY_DIR}/generated/sound3d.1.gz)
set(SOUND3D_CHANGELOG ${CMAKE_BINARY_DIR}/generated/changelog.gz)
sound3d_compress(${SOUND3D_PACKAGING_DIR}/sound3d.1 ${SOUND3D_MAN_PAGE})
sound3d_compress(${SOUND3D_PACKAGING_DIR}/changelog ${SOUND3D_CHANGELOG})
add_custom_target(sound3d_compressed_docs ALL DEPENDS ${SOUND3D_MAN_PAGE} ${SOUND3D_CHANGELOG})
add_dependencies(sound3d sound3d_icons)

install(TARGETS sound3d RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${SOUND3D_LIGHT_HRTF} DESTINATION ${SOUND3D_HRTF_INSTALL_DIR})
install(FILES ${SOUND3D_PACKAGING_DIR}/${SOUND3D_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${SOUND3D_PACKAGING_DIR}/${SOUND3D_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${SOUND3D_ICON_SVG}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS SOUND3D_ICON_SIZES)
  install(FILES ${SOUND3D_ICON_DIR}/${size}/sound3d.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${SOUND3D_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${SOUND3D_PACKAGING_DIR}/copyright ${SOUND3D_CHANGELOG} DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sound3d)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "positional 3D sound tryout")
set(CPACK_PACKAGE_DESCRIPTION
    "One dialog, in Russian, that plays a looping clip as a 3D source and moves\n\
it along three axes while it plays, on headphones or speakers, with plain\n\
panning or light or full head-related filtering.")
set(CPACK_PACKAGE_CONTACT "sound3d developers <sound3d@sound3d.invalid>")  # no public address yet
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # sound3d_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The full HRTF data set that "Полная" plays with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libopenal-data)
# Qt's Wayland platform, so that the dialog runs natively on a Wayland
# session. Recommended, not required: without it Qt shows the dialog through
# XWayland, and an X-only desktop need not carry the Wayland libraries.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
