# The status-reply parser is plain C++ over bytes: the host build runs its tests under the
# sanitizers and fuzzes it.
set(HOST_SOURCES status_reading.cpp status_reply.cpp binary_reply.cpp text_reply.cpp)
set(HOST_TESTS status_reply_test.cpp)
