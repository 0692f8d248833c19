# Warnings as errors in every tree; the native tree adds the sanitizers.
add_compile_options(-Wall -Wextra -Werror)

if(TN_WINDOWS)
  add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  # No MinGW runtime DLL may be needed at run time.
  add_link_options(-static -static-libgcc -static-libstdc++)
else()
  set(TN_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${TN_SANITIZERS})
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    # Coverage for the fuzz targets in every platform-free library.
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
  add_link_options(${TN_SANITIZERS})
endif()
