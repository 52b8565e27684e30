# What `cmake --install build --prefix <p>` lays out:
#   <p>/lib/vx27-mouse/          vx27mouse, vx27ctl and their data beside them:
#                                skin/, Font/, DefaultData/, SDK/, Update/
#   <p>/bin/                     vx27mouse, vx27ctl: relative links into lib/vx27-mouse/
#   <p>/share/applications/      vx27mouse.desktop
#   <p>/share/icons/hicolor/     the program icon, scalable and in PNG sizes
#   <p>/share/metainfo/          the AppStream description
#   <p>/lib/udev/rules.d/        60-vx27.rules
#   <p>/share/man/man1/          vx27mouse.1.gz, vx27ctl.1.gz
#   <p>/share/doc/vx27-mouse/    copyright, changelog.gz
# The programs find their install folder through the real path of their own
# executable, so a start through a link in bin/ reads lib/vx27-mouse/.
include(${CMAKE_CURRENT_LIST_DIR}/FontMap.cmake)

set(VX27_PACKAGE_NAME vx27-mouse)
set(VX27_INSTALL_FOLDER lib/${VX27_PACKAGE_NAME})
set(VX27_ICON_NAME vx27mouse)
set(VX27_APPSTREAM_ID org.vx27.mouse)
set(VX27_PACKAGE_MAINTAINER "VX27 MOUSE developers <maintainers@vx27-mouse.invalid>"
    CACHE STRING "Name and mail address written as the package's maintainer")
# Dates of this build of the version (SOURCE_DATE_EPOCH, when set, fixes them).
string(TIMESTAMP VX27_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP VX27_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)

set(VX27_PACKAGING_DIR ${CMAKE_BINARY_DIR}/packaging)

# vx27_install_link(<link> <target>)
# A symbolic link at <prefix>/<link>. <target> is absolute, or relative to the
# prefix when it starts with "@prefix@/". As Debian wants links: relative within
# one top-level folder (/usr/bin to /usr/lib), absolute across them (a prefix
# in /opt or /home to the system's fonts in /usr).
function(vx27_install_link link target)
  install(CODE "
    set(target \"${target}\")
    string(REPLACE \"@prefix@\" \"\${CMAKE_INSTALL_PREFIX}\" target \"\${target}\")
    set(link \"\${CMAKE_INSTALL_PREFIX}/${link}\")
    get_filename_component(folder \"\${link}\" DIRECTORY)
    string(REGEX MATCH \"^/[^/]*\" link_top \"\${link}\")
    string(REGEX MATCH \"^/[^/]*\" target_top \"\${target}\")
    if(link_top STREQUAL target_top)
      file(RELATIVE_PATH target \"\${folder}\" \"\${target}\")
    endif()
    if(NOT IS_DIRECTORY \"\$ENV{DESTDIR}\${folder}\")
      # 0755 whatever the umask, as install() makes its folders
      file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${folder}\")
      file(CHMOD \"\$ENV{DESTDIR}\${folder}\" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
           GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    endif()
    message(STATUS \"Installing: \$ENV{DESTDIR}\${link} -> \${target}\")
    file(CREATE_LINK \"\${target}\" \"\$ENV{DESTDIR}\${link}\" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\$ENV{DESTDIR}\${link}\")
  ")
endfunction()

# The programs and the data the build assembles beside them in bin/.
install(TARGETS vx27mouse vx27ctl vx27audiorecord RUNTIME DESTINATION ${VX27_INSTALL_FOLDER})
# Relocations resolved at start and then made read-only, as Debian builds do.
target_link_options(vx27mouse PRIVATE -Wl,-z,relro,-z,now)
target_link_options(vx27ctl PRIVATE -Wl,-z,relro,-z,now)
target_link_options(vx27audiorecord PRIVATE -Wl,-z,relro,-z,now)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/skin ${CMAKE_SOURCE_DIR}/DefaultData
        DESTINATION ${VX27_INSTALL_FOLDER})
# SDK/ and Update/ hold what the build puts there (the audio chip library, the
# firmware updater), as data files (0644); a program among them needs a rule
# of its own.
install(DIRECTORY ${VX27_BIN_DIR}/SDK ${VX27_BIN_DIR}/Update DESTINATION ${VX27_INSTALL_FOLDER}
        PATTERN "osConfLib.so" EXCLUDE
        PATTERN "升级包-*" EXCLUDE)
# The audio chip library is built here: installed as a target, so the package
# strips it like the programs.
if(TARGET osConfLib)
  get_target_property(vx27_sdk_dir osConfLib LIBRARY_OUTPUT_DIRECTORY)
  file(RELATIVE_PATH vx27_sdk_dir ${VX27_BIN_DIR} ${vx27_sdk_dir})
  install(TARGETS osConfLib LIBRARY DESTINATION ${VX27_INSTALL_FOLDER}/${vx27_sdk_dir}
          PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endif()
# The firmware updater is such a program: "vx27updater" beside the others,
# and its own name in Update/ a link to it.
if(TARGET vx27_updater_program)
  install(TARGETS vx27_updater_program RUNTIME DESTINATION ${VX27_INSTALL_FOLDER})
  target_link_options(vx27_updater_program PRIVATE -Wl,-z,relro,-z,now)
  vx27_install_link(${VX27_INSTALL_FOLDER}/Update/${VX27_UPDATER_NAME} @prefix@/${VX27_INSTALL_FOLDER}/vx27updater)
endif()
foreach(program vx27mouse vx27ctl)
  vx27_install_link(bin/${program} @prefix@/${VX27_INSTALL_FOLDER}/${program})
endforeach()

# Font/ links to the system's stand-in fonts instead of carrying copies; the
# package depends on the font packages.
set(VX27_FONT_PACKAGES "")
foreach(entry IN LISTS VX27_FONT_MAP)
  string(REPLACE "=" ";" fields "${entry}")
  list(GET fields 0 name)
  list(GET fields 1 source)
  list(GET fields 2 package)
  vx27_install_link(${VX27_INSTALL_FOLDER}/Font/${name} ${source})
  list(APPEND VX27_FONT_PACKAGES ${package})
endforeach()
list(REMOVE_DUPLICATES VX27_FONT_PACKAGES)

# Desktop integration: menu entry, icons, AppStream description.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/vx27mouse.desktop DESTINATION share/applications)

set(VX27_ICON_SVG ${CMAKE_SOURCE_DIR}/skin/common/logo.svg)
set(VX27_ICON_SIZES 16 24 32 48 64 128 256)
set(icon_pngs "")
foreach(size IN LISTS VX27_ICON_SIZES)
  set(png ${VX27_PACKAGING_DIR}/hicolor/${size}x${size}/apps/${VX27_ICON_NAME}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND vx27_svg2png ${VX27_ICON_SVG} ${png} --size ${size}
    DEPENDS vx27_svg2png ${VX27_ICON_SVG}
    COMMENT "Drawing the program icon at ${size} x ${size}"
    VERBATIM)
  list(APPEND icon_pngs ${png})
endforeach()
add_custom_target(vx27_icons ALL DEPENDS ${icon_pngs})
install(DIRECTORY ${VX27_PACKAGING_DIR}/hicolor DESTINATION share/icons)
install(FILES ${VX27_ICON_SVG} DESTINATION share/icons/hicolor/scalable/apps RENAME ${VX27_ICON_NAME}.svg)

configure_file(${CMAKE_SOURCE_DIR}/packaging/${VX27_APPSTREAM_ID}.metainfo.xml.in
               ${VX27_PACKAGING_DIR}/${VX27_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${VX27_PACKAGING_DIR}/${VX27_APPSTREAM_ID}.metainfo.xml DESTINATION share/metainfo)

# Device access for the user at the seat.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/60-vx27.rules DESTINATION lib/udev/rules.d)

# Autostart of the music lighting capture companion with the user's session.
# Session autostart entries live in /etc whatever the prefix (the package
# installs with DESTDIR, so the entry lands in the package).
set(VX27_AUDIORECORD_PATH ${CMAKE_INSTALL_PREFIX}/${VX27_INSTALL_FOLDER}/vx27audiorecord)
configure_file(${CMAKE_SOURCE_DIR}/packaging/vx27audiorecord.desktop.in
               ${VX27_PACKAGING_DIR}/vx27audiorecord.desktop @ONLY)
install(FILES ${VX27_PACKAGING_DIR}/vx27audiorecord.desktop DESTINATION /etc/xdg/autostart)

# Manual pages, changelog and copyright, where Debian wants them.
# vx27_install_gzipped(<file> <destination>)
# Installs <file>.gz, compressed as Debian wants it: at the highest level and
# without a time stamp. Compressed when CMake configures; a change of <file>
# configures again.
function(vx27_install_gzipped file destination)
  get_filename_component(name "${file}" NAME)
  set(gz ${VX27_PACKAGING_DIR}/gz/${destination}/${name}.gz)
  get_filename_component(gz_folder "${gz}" DIRECTORY)
  file(MAKE_DIRECTORY "${gz_folder}")
  execute_process(COMMAND gzip -9 -n -c "${file}" OUTPUT_FILE "${gz}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${file}: ${result}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${file}")
  install(FILES "${gz}" DESTINATION ${destination})
endfunction()

foreach(page vx27mouse.1 vx27ctl.1)
  vx27_install_gzipped(${CMAKE_SOURCE_DIR}/packaging/man/${page} share/man/man1)
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${VX27_PACKAGING_DIR}/changelog @ONLY)
vx27_install_gzipped(${VX27_PACKAGING_DIR}/changelog share/doc/${VX27_PACKAGE_NAME})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION share/doc/${VX27_PACKAGE_NAME})
