velk_bench(velk_bench_host SOURCES ${CMAKE_CURRENT_LIST_DIR}/host.cpp LIBS velk_hostcli velk_extension)
