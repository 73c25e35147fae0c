velk_bench(velk_bench_collectors SOURCES ${CMAKE_CURRENT_LIST_DIR}/collectors.cpp LIBS velk_app_services)
