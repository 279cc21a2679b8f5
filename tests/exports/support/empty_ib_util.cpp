// A support library without the allocator.
extern "C" __attribute__((visibility("default"))) int empty_ib_util_marker() { return 1; }
