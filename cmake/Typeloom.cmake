# Shared compile settings: every target links typeloom_options_common.
add_library(typeloom_common INTERFACE)
target_compile_options(typeloom_common INTERFACE -Wall -Wextra -Wpedantic)
# Each function and object in a section of its own, so that the program's parts keep
# only the code they can reach (--gc-sections where they are linked).
target_compile_options(typeloom_common INTERFACE -ffunction-sections -fdata-sections)
if(TYPELOOM_WERROR)
  target_compile_options(typeloom_common INTERFACE -Werror)
endif()
if(TYPELOOM_SANITIZE)
  target_compile_options(typeloom_common INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(typeloom_common INTERFACE -fsanitize=address,undefined)
endif()
target_include_directories(typeloom_common INTERFACE ${CMAKE_SOURCE_DIR}/src)

# typeloom_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS l])
# One GoogleTest executable; each test case is its own CTest test. Qt runs offscreen.
function(typeloom_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE typeloom_common typeloom_testsupport ${T_LIBS} GTest::gmock GTest::gtest)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300 LABELS "${T_LABELS}")
endfunction()

# typeloom_wayland_protocol(TARGET XML...)
# A static library of the client code wayland-scanner generates for protocol XML
# files of the wayland-protocols package (paths relative to its data folder); its
# headers are included as "<name>-client-protocol.h".
function(typeloom_wayland_protocol target)
  find_package(PkgConfig REQUIRED)
  pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
  pkg_get_variable(WAYLAND_SCANNER wayland-scanner wayland_scanner)
  if(NOT WAYLAND_PROTOCOLS_DIR OR NOT WAYLAND_SCANNER)
    message(FATAL_ERROR "wayland-protocols and wayland-scanner are needed (scripts/install-deps)")
  endif()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target})
  set(sources)
  foreach(xml IN LISTS ARGN)
    get_filename_component(name ${xml} NAME_WE)
    set(path ${WAYLAND_PROTOCOLS_DIR}/${xml})
    add_custom_command(OUTPUT ${out}/${name}-client-protocol.h ${out}/${name}-protocol.c
      COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
      COMMAND ${WAYLAND_SCANNER} client-header ${path} ${out}/${name}-client-protocol.h
      COMMAND ${WAYLAND_SCANNER} private-code ${path} ${out}/${name}-protocol.c
      DEPENDS ${path}
      VERBATIM)
    list(APPEND sources ${out}/${name}-client-protocol.h ${out}/${name}-protocol.c)
  endforeach()
  # Generated C: compiled without the project's warning flags.
  add_library(${target} STATIC ${sources})
  set_target_properties(${target} PROPERTIES LINKER_LANGUAGE C POSITION_INDEPENDENT_CODE ON)
  target_include_directories(${target} SYSTEM PUBLIC ${out})
  target_link_libraries(${target} PUBLIC PkgConfig::WAYLAND_CLIENT)
  if(TYPELOOM_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer)
  endif()
endfunction()
