velk_bench(bench_weather SOURCES ${CMAKE_CURRENT_LIST_DIR}/weather.cpp LIBS velk_data)
target_compile_definitions(bench_weather PRIVATE VELK_BENCH_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
