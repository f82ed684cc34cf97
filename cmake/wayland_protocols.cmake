# Client code for Wayland protocols, made at build time by wayland-scanner
# from their XML descriptions: haze_wayland_protocol(SOURCES XML) appends the
# generated C file to the list SOURCES, and puts the header beside it in
# ${CMAKE_CURRENT_BINARY_DIR}/protocols/, named after the XML file with
# "-client-protocol.h" in place of ".xml".

find_package(PkgConfig REQUIRED)
pkg_get_variable(WAYLAND_SCANNER wayland-scanner wayland_scanner)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
if(NOT WAYLAND_SCANNER OR NOT WAYLAND_PROTOCOLS_DIR)
  message(FATAL_ERROR "wayland-scanner and wayland-protocols are needed (scripts/setup.sh run)")
endif()

function(haze_wayland_protocol sources xml)
  get_filename_component(stem ${xml} NAME_WE)
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/protocols)
  set(header ${folder}/${stem}-client-protocol.h)
  set(code ${folder}/${stem}-protocol.c)
  add_custom_command(OUTPUT ${header} ${code}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${header}
    COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${code}
    DEPENDS ${xml} VERBATIM)
  set(${sources} ${${sources}} ${header} ${code} PARENT_SCOPE)
endfunction()
