velk_bench(velk_bench_app_gallery SOURCES ${CMAKE_CURRENT_LIST_DIR}/app_gallery.cpp LIBS velk_app_screens)
