velk_bench(velk_bench_look SOURCES ${CMAKE_CURRENT_LIST_DIR}/look.cpp LIBS velk_look)
