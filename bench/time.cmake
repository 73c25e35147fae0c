velk_bench(velk_bench_time SOURCES ${CMAKE_CURRENT_LIST_DIR}/time.cpp LIBS velk_data)
