# Not a benchmark of ours: the plain Qt program bench/measure-host.sh measures the host against.
add_executable(velk_peer_windows ${CMAKE_CURRENT_LIST_DIR}/peer_windows.cpp)
target_link_libraries(velk_peer_windows PRIVATE Qt6::Widgets)
