velk_bench(bench_models SOURCES ${CMAKE_CURRENT_LIST_DIR}/models.cpp LIBS velk_models)
