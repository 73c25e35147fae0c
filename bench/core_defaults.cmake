velk_bench(bench_core_defaults SOURCES ${CMAKE_CURRENT_LIST_DIR}/core_defaults.cpp LIBS velk_core)
