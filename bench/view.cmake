velk_bench(view_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/view.cpp LIBS velk_view)
