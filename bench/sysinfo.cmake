velk_bench(velk_bench_sysinfo SOURCES ${CMAKE_CURRENT_LIST_DIR}/sysinfo.cpp LIBS velk_data velk_sysinfo)
