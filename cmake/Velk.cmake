include(GNUInstallDirs)

# The layer libraries and the widget plug-in are VELK's own, linked by nothing else: they are
# installed in a folder of their own, lib/<arch>/velk, not among the system's libraries. The
# architecture's folder is named even where the prefix's library folder is plain lib/ (a
# /usr/local build packed for /usr), so the package keeps to the multiarch layout.
set(VELK_SYSTEM_LIBDIR ${CMAKE_INSTALL_LIBDIR})
if(CMAKE_LIBRARY_ARCHITECTURE AND NOT VELK_SYSTEM_LIBDIR MATCHES "/${CMAKE_LIBRARY_ARCHITECTURE}$")
  string(APPEND VELK_SYSTEM_LIBDIR /${CMAKE_LIBRARY_ARCHITECTURE})
endif()
set(VELK_PRIVATE_LIBDIR ${VELK_SYSTEM_LIBDIR}/velk)

# Installed layer libraries sit together in that folder and find one another there; programs
# find them from bin/. Run paths relative to $ORIGIN keep an installed tree working wherever
# its prefix is.
function(velk_install_library name)
  set_target_properties(${name} PROPERTIES INSTALL_RPATH "$ORIGIN")
  install(TARGETS ${name} LIBRARY DESTINATION ${VELK_PRIVATE_LIBDIR})
endfunction()

# velk_install_program(NAME): a command installed into bin/.
function(velk_install_program name)
  set_target_properties(${name} PROPERTIES INSTALL_RPATH "$ORIGIN/../${VELK_PRIVATE_LIBDIR}")
  install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()

# velk_install_dbus_service(NAME PROGRAM): a session-bus service file, so that a call to the
# bus name NAME starts the installed PROGRAM when nothing owns the name yet. The bus runs the
# program by its full path, which is known only when installing (a package's prefix is not
# the build's), so the file is written then.
function(velk_install_dbus_service name program)
  set(file ${CMAKE_CURRENT_BINARY_DIR}/${name}.service)
  install(CODE "file(WRITE \"${file}\" \"[D-BUS Service]\\nName=${name}\\nExec=\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\\n\")")
  install(FILES ${file} DESTINATION ${CMAKE_INSTALL_DATADIR}/dbus-1/services)
endfunction()

# velk_library(NAME SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
# One shared library per layer or subsystem (the host and the widget plug-in must share one copy
# of every layer: one clock, one intent registry, one set of Qt meta-objects); its folder's parent (src/) is the include root,
# so headers are included as "platform/core/Date.h", "shared/models/...".
function(velk_library name)
  cmake_parse_arguments(L "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} SHARED ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${L_PUBLIC_LIBS} PRIVATE ${L_PRIVATE_LIBS})
  velk_install_library(${name})
endfunction()

# velk_test(NAME SOURCES ... LIBS ...)
# One GoogleTest executable, run by CTest with the clock's zone and the locale pinned and a
# private XDG tree (see tests/support/TestMain.cpp).
function(velk_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} velk_test_main GTest::gtest GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  # Each binary gets a private session bus, so broadcast signals of one test never reach
  # another running at the same time.
  find_program(DBUS_RUN_SESSION dbus-run-session)
  if(DBUS_RUN_SESSION)
    add_test(NAME ${name} COMMAND ${DBUS_RUN_SESSION} -- $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
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

# velk_globbed_library(NAME [RECURSE] [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
# A library made of every .cpp and .h in the calling folder (and its subfolders with RECURSE).
# Until the folder has a .cpp it is an interface library, so headers-only layers already link.
function(velk_globbed_library name)
  cmake_parse_arguments(L "RECURSE" "" "PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  set(glob GLOB)
  if(L_RECURSE)
    set(glob GLOB_RECURSE)
  endif()
  file(${glob} srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(${glob} hdrs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(srcs)
    add_library(${name} SHARED ${srcs} ${hdrs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${L_PUBLIC_LIBS} PRIVATE ${L_PRIVATE_LIBS})
    velk_install_library(${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${L_PUBLIC_LIBS} ${L_PRIVATE_LIBS})
  endif()
endfunction()

# velk_globbed_tests(PREFIX LIBS ...): one test executable per *_test.cpp in the calling folder.
function(velk_globbed_tests prefix)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(GLOB support CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_support.cpp)
  foreach(src IN LISTS tests)
    get_filename_component(stem ${src} NAME_WE)
    velk_test(${prefix}_${stem} SOURCES ${src} ${support} LIBS ${T_LIBS})
  endforeach()
endfunction()
