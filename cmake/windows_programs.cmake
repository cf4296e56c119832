# The native build also builds the Windows program, for i686 (the shipped
# korvale.exe) and x86_64 (the one the tests run under wine64), when the
# mingw-w64 cross compilers are installed: the same source tree, configured
# once per toolchain file into <build>/windows/<arch>/, where korvale.exe
# ends up at the top. Rebuilt on every build, so source changes reach it.
include(ExternalProject)

set(korvale_windows_previous "")
foreach(arch i686 x86_64)
  find_program(korvale_mingw_${arch} ${arch}-w64-mingw32-g++-posix)
  if(NOT korvale_mingw_${arch})
    message(STATUS "${arch}-w64-mingw32-g++-posix not found: the ${arch} Windows program is not built")
    continue()
  endif()
  # One cross build at a time: the machines that run this are small.
  set(korvale_windows_depends "")
  if(korvale_windows_previous)
    set(korvale_windows_depends DEPENDS ${korvale_windows_previous})
  endif()
  ExternalProject_Add(korvale_windows_${arch}
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${PROJECT_BINARY_DIR}/windows/${arch}
    PREFIX ${PROJECT_BINARY_DIR}/windows/${arch}-project
    CMAKE_GENERATOR Ninja
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-${arch}.cmake
      -DCMAKE_BUILD_TYPE=Release
      -DKORVALE_WERROR=${KORVALE_WERROR}
    INSTALL_COMMAND ""
    BUILD_ALWAYS TRUE
    ${korvale_windows_depends})
  set(korvale_windows_previous korvale_windows_${arch})
  # The program needs the host shell; the backend alone makes no executable.
  if(TARGET korvale_host)
    set(KORVALE_WINDOWS_${arch}_EXE ${PROJECT_BINARY_DIR}/windows/${arch}/korvale.exe)
  endif()
endforeach()
