# PCRE2's 16-bit library with JIT, as the target pcre2_16: Debian's libpcre2-dev natively;
# for Windows, PCRE2 10.42 from Debian's source package (which tools/bootstrap.sh fetches
# into build/pcre2), compiled statically with the same MinGW toolchain.
if(WIN32)
  include(ExternalProject)
  file(GLOB pcre2_archive "${PROJECT_SOURCE_DIR}/build/pcre2/pcre2_10.42.orig.tar.*")
  if(NOT pcre2_archive)
    message(FATAL_ERROR "PCRE2's source package is missing from build/pcre2: run tools/bootstrap.sh")
  endif()
  list(GET pcre2_archive 0 pcre2_archive)
  set(pcre2_prefix ${CMAKE_BINARY_DIR}/pcre2)
  ExternalProject_Add(pcre2_mingw
    URL ${pcre2_archive}
    DOWNLOAD_EXTRACT_TIMESTAMP TRUE
    PREFIX ${pcre2_prefix}
    CMAKE_GENERATOR Ninja
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64.cmake
      -DCMAKE_BUILD_TYPE=Release
      -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR>
      -DCMAKE_INSTALL_LIBDIR=lib
      -DBUILD_SHARED_LIBS=OFF
      -DBUILD_STATIC_LIBS=ON
      -DPCRE2_BUILD_PCRE2_8=OFF
      -DPCRE2_BUILD_PCRE2_16=ON
      -DPCRE2_SUPPORT_JIT=ON
      -DPCRE2_BUILD_PCRE2GREP=OFF
      -DPCRE2_BUILD_TESTS=OFF
      -DPCRE2_SUPPORT_LIBBZ2=OFF
      -DPCRE2_SUPPORT_LIBZ=OFF
      -DPCRE2_SUPPORT_LIBREADLINE=OFF
      -DPCRE2_SHOW_REPORT=OFF
    BUILD_BYPRODUCTS ${pcre2_prefix}/lib/libpcre2-16.a)
  file(MAKE_DIRECTORY ${pcre2_prefix}/include)
  add_library(pcre2_16 STATIC IMPORTED GLOBAL)
  set_target_properties(pcre2_16 PROPERTIES
    IMPORTED_LOCATION ${pcre2_prefix}/lib/libpcre2-16.a
    INTERFACE_INCLUDE_DIRECTORIES ${pcre2_prefix}/include
    INTERFACE_COMPILE_DEFINITIONS "PCRE2_STATIC;PCRE2_CODE_UNIT_WIDTH=16")
  add_dependencies(pcre2_16 pcre2_mingw)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(PCRE2_16 REQUIRED IMPORTED_TARGET libpcre2-16)
  add_library(pcre2_16 INTERFACE IMPORTED GLOBAL)
  target_link_libraries(pcre2_16 INTERFACE PkgConfig::PCRE2_16)
  target_compile_definitions(pcre2_16 INTERFACE PCRE2_CODE_UNIT_WIDTH=16)
endif()
