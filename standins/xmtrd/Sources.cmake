# The sources of kestrum-xmtrd, named once for its own build (CMakeLists.txt here) and the native
# build under the sanitizers (native/CMakeLists.txt).
set(kestrum_xmtrd_sources
    ${CMAKE_CURRENT_LIST_DIR}/Main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Device.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HartIpServer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HartIpUdpServer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Loopback.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PtyPort.cpp)
