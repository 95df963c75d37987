# Every dependency is a Debian package (scripts/setup installs them).
# Each becomes an imported target named dep::<name>.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(Boost 1.74 REQUIRED)

function(dm_pkg name module)
  pkg_check_modules(${name} QUIET IMPORTED_TARGET GLOBAL ${module})
  if(${name}_FOUND)
    add_library(dep::${name} ALIAS PkgConfig::${name})
  else()
    message(WARNING "dependency ${module} not found: run scripts/setup")
  endif()
endfunction()

dm_pkg(ogg ogg)
dm_pkg(vorbis vorbis)
dm_pkg(vorbisenc vorbisenc)
dm_pkg(theoradec theoradec)
dm_pkg(theoraenc theoraenc)
dm_pkg(archive libarchive)
dm_pkg(png libpng)
dm_pkg(zlib zlib)
dm_pkg(md libmd)
dm_pkg(openal openal)
dm_pkg(sdl2 sdl2)
# SDL.h would pull the x86 vector intrinsics headers (tens of thousands of lines)
# into every file that includes it; nothing here uses them.
if(TARGET PkgConfig::sdl2)
  target_compile_definitions(PkgConfig::sdl2 INTERFACE
    SDL_DISABLE_IMMINTRIN_H SDL_DISABLE_MMINTRIN_H SDL_DISABLE_XMMINTRIN_H
    SDL_DISABLE_EMMINTRIN_H SDL_DISABLE_PMMINTRIN_H)
endif()
dm_pkg(gl gl)
dm_pkg(egl egl)
dm_pkg(curl libcurl)
dm_pkg(freetype freetype2)
# Only checks that an XML document is well formed before irrXML reads it.
dm_pkg(expat expat)

add_library(dep::boost INTERFACE IMPORTED GLOBAL)
target_link_libraries(dep::boost INTERFACE Boost::boost)
add_library(dep::loki INTERFACE IMPORTED GLOBAL)

# irrXML ships only inside Irrlicht.
find_path(IRRLICHT_INCLUDE_DIR irrlicht/irrXML.h REQUIRED)
find_library(IRRLICHT_LIBRARY Irrlicht REQUIRED)
add_library(dep::irrxml INTERFACE IMPORTED GLOBAL)
target_include_directories(dep::irrxml INTERFACE ${IRRLICHT_INCLUDE_DIR})
target_link_libraries(dep::irrxml INTERFACE ${IRRLICHT_LIBRARY})

# libsquish's pkg-config file is broken: find it by hand.
find_path(SQUISH_INCLUDE_DIR squish.h REQUIRED)
find_library(SQUISH_LIBRARY squish REQUIRED)
add_library(dep::squish INTERFACE IMPORTED GLOBAL)
target_include_directories(dep::squish INTERFACE ${SQUISH_INCLUDE_DIR})
target_link_libraries(dep::squish INTERFACE ${SQUISH_LIBRARY})
# libsquish runs its loops through OpenMP (libgomp); platform/dxt/Dxt.h keeps them on
# the calling thread.
target_link_libraries(dep::squish INTERFACE gomp)

add_library(dep::threads ALIAS Threads::Threads)

if(DM_TESTS)
  find_package(GTest REQUIRED)
endif()
if(DM_BENCH)
  find_package(benchmark QUIET)
  if(NOT benchmark_FOUND)
    set(DM_BENCH OFF)
  endif()
endif()
