# Helpers shared by the folders' CMakeLists.

if(WIN32)
  set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                          _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0800)
  # Programs need only system DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)

  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(HAULBOX_WINE_ARCH win64)
    set(prefix_name wineprefix64)
  else()
    set(HAULBOX_WINE_ARCH win32)
    set(prefix_name wineprefix)
  endif()
  set(WINEPREFIX_DIR "${CMAKE_BINARY_DIR}/../${prefix_name}" CACHE PATH "Private Wine prefix of the tests")
  get_filename_component(WINEPREFIX_DIR "${WINEPREFIX_DIR}" ABSOLUTE)
  set(HAULBOX_WINE_ENV WINEPREFIX=${WINEPREFIX_DIR} HAULBOX_WINE_ARCH=${HAULBOX_WINE_ARCH})
  set(CMAKE_CROSSCOMPILING_EMULATOR env ${HAULBOX_WINE_ENV} ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
  option(HAULBOX_TESTS "Build the Windows test programs" ON)

  # Resource scripts are UTF-8 (with #pragma code_page(65001)).
  enable_language(RC)
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

  # GoogleTest built from Debian's sources with the mingw toolchain.
  if(NOT TARGET gtest)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
elseif(NOT HAULBOX_FUZZ)
  find_package(GTest REQUIRED)
endif()

set(HAULBOX_SANITIZERS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
if(HAULBOX_FUZZ)
  # libFuzzer's coverage in the libraries the fuzz targets link too.
  list(APPEND HAULBOX_SANITIZERS -fsanitize=fuzzer-no-link)
endif()

# Native code under test: AddressSanitizer and UndefinedBehaviorSanitizer.
function(haulbox_sanitize target)
  if(NOT WIN32)
    target_compile_options(${target} PRIVATE ${HAULBOX_SANITIZERS})
    target_link_options(${target} PRIVATE ${HAULBOX_SANITIZERS})
  endif()
endfunction()

# A GoogleTest program. Natively it runs directly; for Windows it runs under
# Wine as one ctest test per program (one Wine start for all its cases).
function(haulbox_add_gtest name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS;RESOURCE_LOCK" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(WIN32)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} gtest gtest_main)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/tests)
  else()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    haulbox_sanitize(${name})
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
  if(ARG_RESOURCE_LOCK)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${ARG_RESOURCE_LOCK}")
  endif()
endfunction()
