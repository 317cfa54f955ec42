# zlib, as the target zlib_static: Debian's zlib1g-dev natively; for Windows, Debian's
# libz-mingw-w64-dev (its static libz.a), which tools/bootstrap.sh installs, so that the
# program stays one self-contained file.
if(WIN32)
  find_library(QUILLON_MINGW_ZLIB NAMES libz.a)
  find_path(QUILLON_MINGW_ZLIB_INCLUDE zlib.h)
  if(NOT QUILLON_MINGW_ZLIB OR NOT QUILLON_MINGW_ZLIB_INCLUDE)
    message(FATAL_ERROR "zlib for MinGW-w64 is missing: run tools/bootstrap.sh (libz-mingw-w64-dev)")
  endif()
  add_library(zlib_static STATIC IMPORTED GLOBAL)
  set_target_properties(zlib_static PROPERTIES
    IMPORTED_LOCATION ${QUILLON_MINGW_ZLIB}
    INTERFACE_INCLUDE_DIRECTORIES ${QUILLON_MINGW_ZLIB_INCLUDE})
else()
  find_package(ZLIB REQUIRED)
  add_library(zlib_static INTERFACE IMPORTED GLOBAL)
  target_link_libraries(zlib_static INTERFACE ZLIB::ZLIB)
endif()
