# zlib from Debian's MinGW package; minizip and libcurl built by
# scripts/setup from Debian's source packages into the cache.
if(DEFINED ENV{XDG_CACHE_HOME})
  set(_tn_cache_default "$ENV{XDG_CACHE_HOME}/tninstaller")
else()
  set(_tn_cache_default "$ENV{HOME}/.cache/tninstaller")
endif()
set(TN_DEPS_DIR "${_tn_cache_default}" CACHE PATH "Where scripts/setup put minizip and libcurl")

if(NOT TN_WINDOWS)
  # Natively only the archive's entry reader needs minizip, for its tests and
  # fuzz target: compiled here from the zlib source scripts/setup fetched,
  # with the tree's sanitizers and coverage, so the fuzzer sees into it too.
  find_package(ZLIB)
  file(GLOB _minizip_sources LIST_DIRECTORIES true "${TN_DEPS_DIR}/src/zlib-*/*/contrib/minizip")
  if(NOT ZLIB_FOUND OR NOT _minizip_sources)
    message(WARNING "zlib or minizip's source is missing (run scripts/setup): "
                    "the entry reader's native tests and fuzz target are left out")
    return()
  endif()
  list(SORT _minizip_sources COMPARE NATURAL)
  list(GET _minizip_sources -1 _minizip_source)
  add_library(tn_zlib INTERFACE)
  target_link_libraries(tn_zlib INTERFACE ZLIB::ZLIB)
  add_library(tn_minizip STATIC "${_minizip_source}/unzip.c" "${_minizip_source}/ioapi.c")
  target_compile_definitions(tn_minizip PRIVATE NOCRYPT NOUNCRYPT)
  target_compile_options(tn_minizip PRIVATE -w)  # not our code: its own warnings are not ours to fix
  # Included as <minizip/unzip.h>, as in the Windows trees.
  target_include_directories(tn_minizip SYSTEM PUBLIC "${_minizip_source}/..")
  target_link_libraries(tn_minizip PUBLIC tn_zlib)
  return()
endif()

set(_minizip "${TN_DEPS_DIR}/minizip-${TN_TARGET_TRIPLE}")
set(_curl "${TN_DEPS_DIR}/curl-${TN_TARGET_TRIPLE}")
# zip.h comes with the writer tn-pack needs; an older cache lacks it.
foreach(_lib "${_minizip}/lib/libminizip.a" "${_minizip}/include/minizip/zip.h" "${_curl}/lib/libcurl.a")
  if(NOT EXISTS "${_lib}")
    message(FATAL_ERROR "${_lib} is missing: run scripts/setup first")
  endif()
endforeach()

find_library(TN_ZLIB NAMES libz.a z REQUIRED)

add_library(tn_zlib STATIC IMPORTED GLOBAL)
set_target_properties(tn_zlib PROPERTIES IMPORTED_LOCATION "${TN_ZLIB}")

add_library(tn_minizip STATIC IMPORTED GLOBAL)
set_target_properties(tn_minizip PROPERTIES
  IMPORTED_LOCATION "${_minizip}/lib/libminizip.a"
  INTERFACE_INCLUDE_DIRECTORIES "${_minizip}/include"
  INTERFACE_LINK_LIBRARIES tn_zlib)

add_library(tn_curl STATIC IMPORTED GLOBAL)
set_target_properties(tn_curl PROPERTIES
  IMPORTED_LOCATION "${_curl}/lib/libcurl.a"
  INTERFACE_INCLUDE_DIRECTORIES "${_curl}/include"
  INTERFACE_COMPILE_DEFINITIONS CURL_STATICLIB
  INTERFACE_LINK_LIBRARIES "tn_zlib;ws2_32;wldap32;crypt32;tn_system_imports;advapi32")
