# Installing as a Linux game: `cmake --install build --prefix ~/.local` (or
# /usr/local as root). The game itself goes to libexec, its read-only files to
# share/vrillon, and bin/vrillon is a launcher that gives each player a
# run-time directory of their own (the game reads its files relative to its
# working directory and writes its records there).
include(GNUInstallDirs)

set(VRILLON_INSTALL_GAMEDIR ${CMAKE_INSTALL_LIBEXECDIR}/vrillon)
set(VRILLON_INSTALL_SHAREDIR ${CMAKE_INSTALL_DATADIR}/vrillon)
set(VRILLON_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
set(VRILLON_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/vrillon)

# Icons from the window icon, at the sizes desktops ask for most.
add_executable(make_icon ${CMAKE_SOURCE_DIR}/tools/make_icon/main.cpp)
target_link_libraries(make_icon PRIVATE vrillon_core archive_pack)
set(VRILLON_ICON_SIZES 32 64 128)
set(VRILLON_ICONS)
foreach(size ${VRILLON_ICON_SIZES})
  set(icon ${VRILLON_DIST_DIR}/icons/${size}x${size}/vrillon.png)
  add_custom_command(
    OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VRILLON_DIST_DIR}/icons/${size}x${size}
    COMMAND make_icon ${VRILLON_GAME_DIR}/pics/sonic.bmp ${size} ${icon}
    DEPENDS make_icon ${VRILLON_TREE_STAMP}
    COMMENT "Making the ${size}x${size} icon")
  list(APPEND VRILLON_ICONS ${icon})
endforeach()
add_custom_target(icons ALL DEPENDS ${VRILLON_ICONS})
# The tree is assembled once, by its own target: without this, a parallel
# build would run the generator twice at once over the same files.
add_dependencies(icons game_tree)

# The launcher finds the game and its files relative to its own folder, so the
# install prefix may be chosen at install time or moved afterwards.
foreach(dir BINDIR LIBEXECDIR DATADIR)
  if(IS_ABSOLUTE ${CMAKE_INSTALL_${dir}})
    set(VRILLON_ABSOLUTE_DIRS ON)
  endif()
endforeach()
if(VRILLON_ABSOLUTE_DIRS)
  set(VRILLON_LAUNCHER_TO_GAME ${CMAKE_INSTALL_FULL_LIBEXECDIR}/vrillon/vrillon)
  set(VRILLON_LAUNCHER_TO_SHARE ${CMAKE_INSTALL_FULL_DATADIR}/vrillon)
else()
  file(RELATIVE_PATH VRILLON_LAUNCHER_TO_GAME /prefix/${CMAKE_INSTALL_BINDIR}
       /prefix/${VRILLON_INSTALL_GAMEDIR}/vrillon)
  file(RELATIVE_PATH VRILLON_LAUNCHER_TO_SHARE /prefix/${CMAKE_INSTALL_BINDIR}
       /prefix/${VRILLON_INSTALL_SHAREDIR})
endif()
# The runtime and scale choice is shared with ./play.sh, which sources it:
# the launcher gets a copy, so that it stays one file.
file(READ ${CMAKE_SOURCE_DIR}/dist/sdl_runtime.sh VRILLON_SDL_RUNTIME)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/dist/sdl_runtime.sh)
configure_file(${CMAKE_SOURCE_DIR}/dist/vrillon.in ${VRILLON_DIST_DIR}/vrillon @ONLY)

install(TARGETS vrillon RUNTIME DESTINATION ${VRILLON_INSTALL_GAMEDIR})
install(PROGRAMS ${VRILLON_DIST_DIR}/vrillon DESTINATION ${CMAKE_INSTALL_BINDIR})

install(DIRECTORY ${VRILLON_GAME_DIR}/pics ${VRILLON_GAME_DIR}/font
        DESTINATION ${VRILLON_INSTALL_SHAREDIR})
install(DIRECTORY ${VRILLON_GAME_DIR}/sounds DESTINATION ${VRILLON_INSTALL_SHAREDIR} OPTIONAL)
# The player's records start from these; build/game/data holds a developer's
# own records and stays out of the install.
install(DIRECTORY ${VRILLON_TEMPLATE_DIR}/data DESTINATION ${VRILLON_INSTALL_SHAREDIR}/templates
        FILES_MATCHING PATTERN "*.dat")

# The desktop entry names the launcher by its full installed path: a user
# prefix's bin folder is not always on a desktop session's PATH.
install(CODE "set(VRILLON_LAUNCHER \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/vrillon\")
  if(IS_ABSOLUTE \"${CMAKE_INSTALL_BINDIR}\")
    set(VRILLON_LAUNCHER \"${CMAKE_INSTALL_BINDIR}/vrillon\")
  endif()
  configure_file(\"${CMAKE_SOURCE_DIR}/dist/vrillon.desktop.in\"
    \"${VRILLON_DIST_DIR}/vrillon.desktop\" @ONLY)")
install(FILES ${VRILLON_DIST_DIR}/vrillon.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size ${VRILLON_ICON_SIZES})
  install(FILES ${VRILLON_DIST_DIR}/icons/${size}x${size}/vrillon.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/dist/vrillon.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# Software-centre metadata. Its screenshots must be web addresses: where the
# project publishes the pictures of docs/.
set(VRILLON_APPSTREAM_ID org.tarnwyvern.vrillon)
set(VRILLON_MEDIA_URL https://vrillon.example/docs CACHE STRING
    "Web folder holding the pictures of docs/, for the software-centre screenshots")
configure_file(${CMAKE_SOURCE_DIR}/dist/vrillon.metainfo.xml.in
               ${VRILLON_DIST_DIR}/${VRILLON_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${VRILLON_DIST_DIR}/${VRILLON_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

install(FILES ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/README.md
        DESTINATION ${VRILLON_INSTALL_DOCDIR})
# The README's pictures, so that the installed README shows them.
file(GLOB VRILLON_DOC_PICTURES ${CMAKE_SOURCE_DIR}/docs/*.png)
install(FILES ${VRILLON_DOC_PICTURES} DESTINATION ${VRILLON_INSTALL_DOCDIR}/docs)
install(FILES ${VRILLON_GAME_DIR}/font/comic.LICENSE.txt ${VRILLON_GAME_DIR}/font/hackslsh.LICENSE.txt
        DESTINATION ${VRILLON_INSTALL_DOCDIR}/fonts)

if(VRILLON_TESTS)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/install ${CMAKE_BINARY_DIR}/tests/install)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/package ${CMAKE_BINARY_DIR}/tests/package)
endif()
