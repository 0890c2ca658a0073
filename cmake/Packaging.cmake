# The two packages a shop installs from:
#  - Windows (the MinGW cross build): the `installer` target makes valico-setup-<version>.exe
#    with NSIS from packaging/windows/valico.nsi;
#  - Linux: `cpack -G DEB` makes valico_<version>_amd64.deb from the install rules below: the
#    program, the systemd unit valico.service and the package's scripts (packaging/debian), and
#    where Qt 6 was found the desktop program valico-gui with its autostart entry.
# CMakePresets.json names both: `cmake --workflow --preset installer` and `... --preset deb`.

set(VALICO_PUBLISHER "Valico" CACHE STRING "Publisher named by the installer and the package")
set(VALICO_MAINTAINER "Valico maintainers <maintainers@users.noreply.c-seed-cc2d7fe4.example>"
    CACHE STRING "Maintainer of the Debian package: name <address>")

if(WIN32)
  find_program(VALICO_MAKENSIS makensis)
  if(VALICO_MAKENSIS)
    set(setup ${CMAKE_BINARY_DIR}/valico-setup-${PROJECT_VERSION}.exe)
    set(script ${CMAKE_SOURCE_DIR}/packaging/windows/valico.nsi)
    add_custom_command(OUTPUT ${setup}
      COMMAND ${VALICO_MAKENSIS} -V2 -WX -DVERSION=${PROJECT_VERSION} -DEXE=$<TARGET_FILE:valico>
              -DOUTFILE=${setup} -DPUBLISHER=${VALICO_PUBLISHER} ${script}
      DEPENDS valico ${script}
      COMMENT "Building the Windows installer ${setup}"
      VERBATIM)
    add_custom_target(installer DEPENDS ${setup})
  endif()
  return()
endif()

set(deb_dir ${CMAKE_SOURCE_DIR}/packaging/debian)
set(doc_dir share/doc/valico)

install(TARGETS valico RUNTIME DESTINATION bin)
# What the package's build step builds (the `deb` preset): the programs, not the tests.
add_custom_target(packaged_programs)
add_dependencies(packaged_programs valico)
if(TARGET valico-gui)
  install(TARGETS valico-gui RUNTIME DESTINATION bin)
  add_dependencies(packaged_programs valico-gui)
endif()
install(FILES ${deb_dir}/valico.service DESTINATION /lib/systemd/system)
install(FILES ${deb_dir}/copyright DESTINATION ${doc_dir})
install(FILES ${deb_dir}/lintian-overrides DESTINATION share/lintian/overrides RENAME valico)

# Debian wants the changelog compressed, reproducibly (no name or time stamp in the gzip header).
set(changelog_gz ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
execute_process(COMMAND gzip -9n INPUT_FILE ${deb_dir}/changelog OUTPUT_FILE ${changelog_gz}
                COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${deb_dir}/changelog)
install(FILES ${changelog_gz} DESTINATION ${doc_dir})

# Files under /etc are the administrator's once installed: dpkg keeps their edits on upgrade
# only when they are listed as conffiles. Each one is installed and listed here.
set(conffiles "")
macro(valico_deb_conffile source destination_dir name)
  install(FILES ${source} DESTINATION ${destination_dir} RENAME ${name})
  string(APPEND conffiles "${destination_dir}/${name}\n")
endmacro()
valico_deb_conffile(${deb_dir}/valico.default /etc/default valico)
# A desktop session starts the tray program on the service's folder; while the service runs it
# holds that folder, and the tray program ends at once (README, "Linux desktop program").
if(TARGET valico-gui)
  valico_deb_conffile(${deb_dir}/valico.desktop /etc/xdg/autostart valico.desktop)
endif()

set(control_dir ${CMAKE_BINARY_DIR}/packaging/control)
file(MAKE_DIRECTORY ${control_dir})
file(WRITE ${control_dir}/conffiles "${conffiles}")
foreach(script postinst prerm postrm)
  configure_file(${deb_dir}/${script} ${control_dir}/${script} COPYONLY)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME valico)
set(CPACK_PACKAGE_VENDOR ${VALICO_PUBLISHER})
set(CPACK_PACKAGE_CONTACT ${VALICO_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "spool service for point-of-sale devices")
set(CPACK_PACKAGE_DESCRIPTION [=[
Valico watches the spool folders of the back-office program Borea and hands
each job to its device: the fiscal register's driver program, the pre-bill
printer, the receipt slip printer and the customer pole display. It also runs
Borea's scheduled maintenance jobs and FTP transfers requested through its
settings.
.
This package runs it as the systemd service valico.service, under the system
user valico, with its settings and spool folders in /var/lib/valico.]=])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Previews are drawn in DejaVu Sans Mono. libcurl (FTP), cairo (previews, PDFs) and libcups are
# loaded when first used, so the shlib dependencies do not see them: they are named here.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser, fonts-dejavu-core, libcurl4, libcairo2, libcups2")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${control_dir}/conffiles ${control_dir}/postinst ${control_dir}/prerm ${control_dir}/postrm)
include(CPack)

# The package holds only the program: packaging needs `valico` built, not the tests and
# benchmarks of the same build folder.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
