# Installing Tamsu: one program directory with the programs and, when it is there, the manual
# "Tamsu.txt" beside them (Tamsu looks for Tamsu.txt and Tamsu.ini beside its executable).
#
#   cmake --install build/release --prefix ~/tamsu    # default prefix: /opt/tamsu
#
# installs the component "directory" and then registers the installation for the user who
# installs: the uninstall record naming the installed odvor, and the shortcut Tamsu.desktop on
# the desktop and in the applications menu (packaging/register.cmake).
#
#   (cd build/release && cpack -G DEB)
#
# makes the Debian package from the component "package" alone: the programs in /opt/tamsu with
# links in /usr/bin, menu entries for Tamsu and Perlo, manual pages, and Package.txt, which tells
# Odvor that the package manager owns the installation. No shortcut and no record are written.

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX /opt/tamsu CACHE PATH "The program directory" FORCE)
endif()

set(TAMSU_PROGRAMS)
foreach(program tamsu perlo tamsu-admin odvor)
  if(TARGET ${program})
    list(APPEND TAMSU_PROGRAMS ${program})
  endif()
endforeach()
set(TAMSU_MANUAL ${CMAKE_SOURCE_DIR}/docs/Tamsu.txt)

# A directory of the user's choice.
install(TARGETS ${TAMSU_PROGRAMS} RUNTIME DESTINATION . COMPONENT directory)
install(FILES ${TAMSU_MANUAL} DESTINATION . COMPONENT directory OPTIONAL)
install(SCRIPT ${CMAKE_SOURCE_DIR}/packaging/register.cmake COMPONENT directory)

# The Debian package.
set(pkg ${CMAKE_BINARY_DIR}/package)
file(MAKE_DIRECTORY ${pkg}/bin)
set(links)
foreach(program ${TAMSU_PROGRAMS})
  file(CREATE_LINK /opt/tamsu/${program} ${pkg}/bin/${program} SYMBOLIC)
  list(APPEND links ${pkg}/bin/${program})
endforeach()
set(man_pages)
foreach(page tamsu perlo tamsu-admin odvor)
  add_custom_command(OUTPUT ${pkg}/${page}.1.gz
                     COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/packaging/man/${page}.1 > ${pkg}/${page}.1.gz
                     DEPENDS ${CMAKE_SOURCE_DIR}/packaging/man/${page}.1 VERBATIM)
  list(APPEND man_pages ${pkg}/${page}.1.gz)
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_pages})

install(TARGETS ${TAMSU_PROGRAMS} RUNTIME DESTINATION opt/tamsu COMPONENT package EXCLUDE_FROM_ALL)
install(FILES ${TAMSU_MANUAL} DESTINATION opt/tamsu COMPONENT package EXCLUDE_FROM_ALL OPTIONAL)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/Package.txt DESTINATION opt/tamsu
        COMPONENT package EXCLUDE_FROM_ALL)
install(FILES ${links} DESTINATION usr/bin COMPONENT package EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/tamsu.desktop ${CMAKE_SOURCE_DIR}/packaging/perlo.desktop
        DESTINATION usr/share/applications COMPONENT package EXCLUDE_FROM_ALL)
install(FILES ${man_pages} DESTINATION usr/share/man/man1 COMPONENT package EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tamsu)
set(CPACK_PACKAGE_VERSION 1.0.0)
set(CPACK_PACKAGE_CONTACT "Tamsu <tamsu@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "trading and warehouse program for small Polish businesses")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Goods, contractors, purchases and sales with stock, prices, VAT and documents,
fiscal printers and cash registers, ZIP backups; an 80 x 25 character-cell
interface in Polish. With Perlo, a tax and interest calculator, and Odvor.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL package)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_STRIP_FILES ON)
include(CPack)
