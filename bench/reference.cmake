velk_bench(velk_bench_reference SOURCES ${CMAKE_CURRENT_LIST_DIR}/reference.cpp LIBS velk_view Qt6::Gui)
