velk_bench(bench_calendar SOURCES ${CMAKE_CURRENT_LIST_DIR}/calendar.cpp LIBS velk_data)
