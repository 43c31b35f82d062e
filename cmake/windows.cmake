# Building for Windows (cross-compiled with MinGW-w64, see
# cmake/mingw-w64-x86_64.cmake and scripts/build-windows.sh).
#
# The run-time tree (pictures, sounds, fonts, record templates) is made by the
# asset generator, a program of the machine that builds: it is taken from a
# build for that machine, VRILLON_HOST_BUILD (build/ by default).
set(VRILLON_HOST_BUILD ${CMAKE_SOURCE_DIR}/build CACHE PATH
    "A build for the building machine, whose game/ and templates/ are copied")

# The game's own start-up on Windows goes into the game alone, not into the
# tools and tests that share the rest.
list(REMOVE_ITEM VRILLON_CORE_SOURCES ${CMAKE_SOURCE_DIR}/src/platform/game_start_win32.cpp)

# The libraries' prefix stands for /usr on Debian: its include folder is searched
# for everything, as the game names its headers <SDL/SDL.h>.
foreach(prefix ${CMAKE_PREFIX_PATH})
  include_directories(SYSTEM ${prefix}/include)
endforeach()

# SDL renames main to SDL_main for its SDLmain library, which would also
# send the output of every program to stdout.txt: the programs keep their
# own main, and the game sends its output there itself (game_start_win32.cpp).
add_compile_definitions(SDL_main=main WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE)

# Programs built here run on the building machine under Wine, which shows its
# root as the drive Z:; the tests are given the build's paths on that drive.
set(CMAKE_CROSSCOMPILING_EMULATOR sh ${CMAKE_SOURCE_DIR}/tests/windows/wine.sh)
foreach(prefix ${CMAKE_PREFIX_PATH})
  list(APPEND CMAKE_CROSSCOMPILING_EMULATOR --dlls ${prefix}/bin)
endforeach()
set(VRILLON_RUN_ROOT Z:)

# A unit test runs as one program under Wine, headless (label windows).
function(vrillon_windows_unit_test name)
  set(args)
  if(name STREQUAL test_archive)
    # The archive tool is a program of the building machine alone.
    set(args --gtest_filter=-Archive.Tool*)
  endif()
  add_test(NAME windows_${name} COMMAND ${name} ${args})
  set_tests_properties(windows_${name} PROPERTIES
    LABELS windows
    SKIP_RETURN_CODE 77
    TIMEOUT 600
    ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")
endfunction()

function(vrillon_windows_game)
  # The SDL and the libraries' pkg-config files name SDLmain and the GUI
  # subsystem; only the game itself is a windowed program.
  foreach(lib SDL SDLTTF SDLGFX SDLMIXER)
    get_target_property(libs PkgConfig::${lib} INTERFACE_LINK_LIBRARIES)
    list(FILTER libs EXCLUDE REGEX "SDLmain|mingw32")
    set_target_properties(PkgConfig::${lib} PROPERTIES INTERFACE_LINK_LIBRARIES "${libs}")
    get_target_property(opts PkgConfig::${lib} INTERFACE_LINK_OPTIONS)
    if(opts)
      list(FILTER opts EXCLUDE REGEX "^-mwindows$")
      set_target_properties(PkgConfig::${lib} PROPERTIES INTERFACE_LINK_OPTIONS "${opts}")
    endif()
    get_target_property(defs PkgConfig::${lib} INTERFACE_COMPILE_OPTIONS)
    if(defs)
      list(FILTER defs EXCLUDE REGEX "^-Dmain=SDL_main$")
      set_target_properties(PkgConfig::${lib} PROPERTIES INTERFACE_COMPILE_OPTIONS "${defs}")
    endif()
  endforeach()

  target_sources(vrillon PRIVATE ${CMAKE_SOURCE_DIR}/src/platform/game_start_win32.cpp)
  target_link_libraries(vrillon PRIVATE shell32 ole32 uuid)
  set_target_properties(vrillon PROPERTIES WIN32_EXECUTABLE ON)

  set(stamp ${CMAKE_BINARY_DIR}/game_tree.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VRILLON_GAME_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${VRILLON_HOST_BUILD}/game/pics ${VRILLON_GAME_DIR}/pics
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${VRILLON_HOST_BUILD}/game/sounds ${VRILLON_GAME_DIR}/sounds
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${VRILLON_HOST_BUILD}/game/font ${VRILLON_GAME_DIR}/font
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${VRILLON_HOST_BUILD}/templates ${VRILLON_TEMPLATE_DIR}
    COMMAND ${CMAKE_COMMAND} -DSRC=${VRILLON_TEMPLATE_DIR}/data -DDST=${VRILLON_GAME_DIR}/data
            -P ${CMAKE_SOURCE_DIR}/cmake/copy_if_absent.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${VRILLON_HOST_BUILD}/game_tree.stamp ${CMAKE_SOURCE_DIR}/cmake/copy_if_absent.cmake
    COMMENT "Copying the run-time tree from ${VRILLON_HOST_BUILD}")
  add_custom_target(game_tree ALL DEPENDS ${stamp})
  add_dependencies(vrillon game_tree)
endfunction()
