# What a shop installs from:
#  - Windows (the MinGW cross build): the `installer` target makes valico-setup-<version>.exe
#    with NSIS from packaging/windows/valico.nsi;
#  - Linux: `cpack -G DEB` makes valico_<version>_amd64.deb from the install rules below (the
#    program, its manual page, the systemd unit valico.service and the package's scripts of
#    packaging/debian) and, where Qt 6 was found, valico-gui_<version>_amd64.deb (the desktop
#    program valico-gui with its autostart entry).
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
set(control_dir ${CMAKE_BINARY_DIR}/packaging/control)
file(MAKE_DIRECTORY ${control_dir})

# Two packages: `valico` (the headless program and its service, no Qt) and, where Qt 6 was
# found, `valico-gui` (the desktop program and its autostart entry). A till without a desktop
# installs the first alone and gets no Qt library.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME service)
set(valico_packages service)
if(TARGET valico-gui)
  list(APPEND valico_packages gui)
endif()
# What the package's build step builds (the `deb` preset): the programs and their manual
# pages, not the tests.
add_custom_target(packaged_programs)

# The manual pages are written for scdoc (packaging/man) and built with the programs.
find_program(VALICO_SCDOC scdoc)
if(NOT VALICO_SCDOC)
  message(STATUS "scdoc not found: the packages get no manual page")
endif()
macro(valico_deb_manual_page component page)
  if(VALICO_SCDOC)
    set(source ${CMAKE_SOURCE_DIR}/packaging/man/${page}.scd)
    set(out ${CMAKE_BINARY_DIR}/packaging/${page}.gz)
    add_custom_command(OUTPUT ${out}
      COMMAND sh -c "${VALICO_SCDOC} <'${source}' | gzip -9n >'${out}'"
      DEPENDS ${source}
      COMMENT "Building the manual page ${page}"
      VERBATIM)
    add_custom_target(man_${component} DEPENDS ${out})
    add_dependencies(packaged_programs man_${component})
    install(FILES ${out} DESTINATION share/man/man1 COMPONENT ${component})
  endif()
endmacro()

# Debian wants the changelog compressed, reproducibly (no name or time stamp in the gzip header).
set(changelog_gz ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
execute_process(COMMAND gzip -9n INPUT_FILE ${deb_dir}/changelog OUTPUT_FILE ${changelog_gz}
                COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${deb_dir}/changelog)

# Files under /etc are the administrator's once installed: dpkg keeps their edits on upgrade
# only when they are listed as conffiles. Each one is installed and listed here.
macro(valico_deb_conffile component source destination_dir name)
  install(FILES ${source} DESTINATION ${destination_dir} RENAME ${name} COMPONENT ${component})
  string(APPEND conffiles_${component} "${destination_dir}/${name}\n")
endmacro()

# The service: valico, its unit, its defaults and the scripts that make its user and folder.
install(TARGETS valico RUNTIME DESTINATION bin COMPONENT service)
add_dependencies(packaged_programs valico)
install(FILES ${deb_dir}/valico.service DESTINATION /lib/systemd/system COMPONENT service)
valico_deb_manual_page(service valico.1)
valico_deb_conffile(service ${deb_dir}/valico.default /etc/default valico)
foreach(script postinst prerm postrm)
  configure_file(${deb_dir}/${script} ${control_dir}/${script} COPYONLY)
endforeach()
set(CPACK_DEBIAN_SERVICE_PACKAGE_CONTROL_EXTRA
    ${control_dir}/service/conffiles ${control_dir}/postinst ${control_dir}/prerm
    ${control_dir}/postrm)

# The desktop program. A desktop session starts it on the service's folder; while the service
# runs it holds that folder, and the desktop program ends at once (README, "Desktop program").
if(TARGET valico-gui)
  install(TARGETS valico-gui RUNTIME DESTINATION bin COMPONENT gui)
  add_dependencies(packaged_programs valico-gui)
  valico_deb_manual_page(gui valico-gui.1)
  valico_deb_conffile(gui ${deb_dir}/valico.desktop /etc/xdg/autostart valico.desktop)
  set(CPACK_DEBIAN_GUI_PACKAGE_CONTROL_EXTRA ${control_dir}/gui/conffiles)
endif()

foreach(component IN LISTS valico_packages)
  if(component STREQUAL "service")
    set(doc_dir share/doc/valico)
  else()
    set(doc_dir share/doc/valico-${component})
  endif()
  install(FILES ${deb_dir}/copyright ${changelog_gz} DESTINATION ${doc_dir} COMPONENT ${component})
  # Each package's list of conffiles, in a file of that name as dpkg wants it.
  file(MAKE_DIRECTORY ${control_dir}/${component})
  file(WRITE ${control_dir}/${component}/conffiles "${conffiles_${component}}")
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME valico)
set(CPACK_PACKAGE_VENDOR ${VALICO_PUBLISHER})
set(CPACK_PACKAGE_CONTACT ${VALICO_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL ${valico_packages})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE valico)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_SERVICE_PACKAGE_NAME valico)
# Previews are drawn in DejaVu Sans Mono. libcurl (FTP), cairo (previews, PDFs) and libcups are
# loaded when first used, so the shlib dependencies do not see them: they are named here.
set(CPACK_DEBIAN_SERVICE_PACKAGE_DEPENDS "adduser, fonts-dejavu-core, libcurl4, libcairo2, libcups2")
# Suggested, not recommended: apt installs recommends, and the desktop program brings Qt.
set(CPACK_DEBIAN_SERVICE_PACKAGE_SUGGESTS "valico-gui, wine")
set(CPACK_DEBIAN_SERVICE_DESCRIPTION [=[spool service for point-of-sale devices
Valico watches the spool folders of the back-office program Borea and hands
each job to its device: the fiscal register's driver program, the pre-bill
printer, the receipt slip printer and the customer pole display. It also runs
Borea's scheduled maintenance jobs and FTP transfers requested through its
settings.
.
This package runs it as the systemd service valico.service, under the system
user valico, with its settings and spool folders in /var/lib/valico. It needs
no desktop: the tray icon and configuration window are in valico-gui.]=])

set(CPACK_DEBIAN_GUI_PACKAGE_NAME valico-gui)
# The same version of valico: both programs serve the same folder and settings.
set(CPACK_DEBIAN_GUI_PACKAGE_DEPENDS "valico (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_GUI_DESCRIPTION [=[tray icon and configuration window of the Valico spool service
The desktop program of Valico (Qt 6): the same service as valico run, with a
tray icon and the configuration window of the Windows program. Every desktop
session starts it on /var/lib/valico; while the service valico.service serves
that folder it ends at once.]=])
include(CPack)

# The packages hold only the programs: packaging needs them built, not the tests and
# benchmarks of the same build folder.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
