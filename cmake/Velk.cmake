# velk_library(NAME SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
# One static library per layer or subsystem; its folder's parent (src/) is the include root,
# so headers are included as "platform/core/Date.h", "shared/models/...".
function(velk_library name)
  cmake_parse_arguments(L "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${L_PUBLIC_LIBS} PRIVATE ${L_PRIVATE_LIBS})
endfunction()

# velk_test(NAME SOURCES ... LIBS ...)
# One GoogleTest executable, run by CTest with the clock's zone and the locale pinned and a
# private XDG tree (see tests/support/TestMain.cpp).
function(velk_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} velk_test_main GTest::gtest GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    TIMEOUT 600
    ENVIRONMENT "TZ=UTC;LANG=en_US.UTF-8;LC_ALL=C.UTF-8;QT_QPA_PLATFORM=offscreen;VELK_SOURCE_DIR=${PROJECT_SOURCE_DIR};VELK_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()

# velk_bench(NAME SOURCES ... LIBS ...)
function(velk_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/bench ${PROJECT_SOURCE_DIR}/tests)
endfunction()
