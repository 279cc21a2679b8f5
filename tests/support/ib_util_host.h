// The test program's side of the stand-in support library (ib_util.cpp beside this file):
// the stand-in's ib_util_malloc asks the program, which counts the calls, fails them on
// demand and keeps the latest block; the loads and releases of the stand-in are counted
// here too (by the dlopen interposer, or by the DLL's own attach and detach on Windows).
// One state per process, shared by all threads.
#pragma once

namespace ib_util_host {

// Which library the module finds when it asks for the support library by name.
enum class Support { counting, without_allocator, missing };

// Counters to zero; the n-th call from now on and every later one give null (0: none).
void reset(long fail_from_call = 0);
// Resets; just the n-th call gives null.
void fail_only(long call);
// Calls for more bytes than this give null, until the next reset (0: no limit).
void fail_above(long size);

long allocations();     // calls since the last reset
long refused();         // of which null was returned
long last_size();       // the size asked for by the latest call, failed or not; -1 if none
void* last_block();     // the block of the latest call that succeeded
long last_block_size(); // and its size

int loads();    // requests for the support library since the last reset
int releases(); // releases of a loaded one
void count_load();
void count_release();

} // namespace ib_util_host
