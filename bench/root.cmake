velk_bench(velk_bench_root SOURCES ${CMAKE_CURRENT_LIST_DIR}/root.cpp LIBS velk_look)
