# Shared compile settings: every target links typeloom_options_common.
add_library(typeloom_common INTERFACE)
target_compile_options(typeloom_common INTERFACE -Wall -Wextra -Wpedantic)
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
