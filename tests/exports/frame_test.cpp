// The result allocator as the server sees it: when the support library is loaded, how
// often, what happens when it or its allocator is missing, and the release at unload.
#include "harness.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#ifdef _WIN32
#include <thread>
#endif

namespace {

using harness::Module;
using harness::Support;

struct FrameTest : ::testing::Test {
    void SetUp() override {
        harness::use_support(Support::counting);
        harness::reset_counters();
#ifdef _WIN32
        // The counters see attach and detach only: nothing else may hold ib_util.dll.
        ASSERT_FALSE(harness::support_loaded()) << "run these tests apart from the others";
#endif
    }
    void TearDown() override { harness::use_support(Support::counting); }

    // A text result that needs no state: the type of the current row of no context.
    static char* text_result(const Module& m) {
        const std::int32_t none = 0;
        return m.fn<"ib_scbreadtype">()(&none);
    }
};

TEST_F(FrameTest, NumberResultsNeverLoadTheSupportLibrary) {
    Module m(true);
    std::int32_t h = m.fn<"ib_scbcreate">()();
    const double amount = 10.0, vat = 2.0;
    m.fn<"ib_scbaddrow">()(&h, "GOODS", &amount, &vat);
    m.fn<"ib_scbisaffectedrows">()(&h);
    m.fn<"ib_scbreadvat">()(&h);
    m.fn<"ib_scbfree">()(&h);
    EXPECT_EQ(harness::support_loads(), 0);
    m.unload();
    EXPECT_EQ(harness::support_releases(), 0);
}

TEST_F(FrameTest, FirstTextResultLoadsOnceForAnyNumberOfResults) {
    Module m(true);
    for (int i = 0; i < 1001; ++i) EXPECT_EQ(harness::take(text_result(m)), "");
    EXPECT_EQ(harness::support_loads(), 1);
    EXPECT_EQ(harness::allocations(), 1001);
    // One release frees it: it was not loaded again behind a reference count.
    m.unload();
    EXPECT_EQ(harness::support_releases(), 1);
#ifdef _WIN32
    EXPECT_FALSE(harness::support_loaded());
#endif
}

TEST_F(FrameTest, UnloadReleasesTheSupportLibraryOnce) {
    Module m(true);
    harness::take(text_result(m));
    m.unload();
    EXPECT_EQ(harness::support_releases(), 1);
}

TEST_F(FrameTest, AllocatorFailureIsPassedOnAsNull) {
    Module m(true);
    harness::reset_counters(1);
    EXPECT_EQ(text_result(m), nullptr);
}

TEST_F(FrameTest, LibraryWithoutAllocatorReportsOnceAndGivesNoMemory) {
    harness::use_support(Support::without_allocator);
    Module m(true);
    testing::internal::CaptureStderr();
    EXPECT_EQ(text_result(m), nullptr);
    const std::string first = testing::internal::GetCapturedStderr();
    testing::internal::CaptureStderr();
    EXPECT_EQ(text_result(m), nullptr);
    const std::string second = testing::internal::GetCapturedStderr();
#ifdef ARDUDF_HOST_ALLOCATOR
    (void)first;
#else
    EXPECT_EQ(first.rfind(harness::message_prefix, 0), 0u) << first;
    EXPECT_EQ(first.back(), '\n');
    EXPECT_EQ(first.find('\n'), first.size() - 1) << "one line";
#endif
    EXPECT_EQ(second, "");
    EXPECT_EQ(harness::support_loads(), 1);
}

#ifdef ARDUDF_HOST_ALLOCATOR
// The library is missing but the host exports ib_util_malloc: results come from the host,
// and since no load succeeded, each result tries the load again, silently.
TEST_F(FrameTest, MissingLibraryFallsBackToTheHostsAllocator) {
    harness::use_support(Support::missing);
    Module m(true);
    testing::internal::CaptureStderr();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(harness::take(text_result(m)), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
#ifndef _WIN32 // a failed LoadLibraryA leaves no trace to count
    EXPECT_EQ(harness::support_loads(), 3);
#endif
}
#else
TEST_F(FrameTest, MissingLibraryIsRetriedAndReportedOnEveryResult) {
    harness::use_support(Support::missing);
    Module m(true);
    for (int i = 0; i < 3; ++i) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(text_result(m), nullptr);
        EXPECT_EQ(testing::internal::GetCapturedStderr().rfind(harness::message_prefix, 0), 0u);
    }
#ifdef _WIN32 // a failed LoadLibraryA leaves no trace to count
    const int failed_loads = 0;
#else
    const int failed_loads = 3;
#endif
    EXPECT_EQ(harness::support_loads(), failed_loads);
    // Once the library appears, the next result loads it and works.
    harness::use_support(Support::counting);
    EXPECT_EQ(harness::take(text_result(m)), "");
    EXPECT_EQ(harness::support_loads(), failed_loads + 1);
}
#endif

#ifdef _WIN32
// Thread attach and detach reach DllMain too; they leave the cached allocator as it was.
TEST_F(FrameTest, ThreadAttachAndDetachKeepTheAllocator) {
    Module m(true);
    EXPECT_EQ(harness::take(text_result(m)), "");
    std::thread([&m] { EXPECT_EQ(harness::take(text_result(m)), ""); }).join();
    EXPECT_EQ(harness::take(text_result(m)), "");
    EXPECT_EQ(harness::support_loads(), 1);
    EXPECT_EQ(harness::allocations(), 3);
    m.unload();
    EXPECT_FALSE(harness::support_loaded());
}

// Each instance loads and releases on its own; the library goes when the last one does.
TEST_F(FrameTest, TwoInstancesReleaseTheLibraryWithTheLastDetach) {
    Module a(true), b(true);
    harness::take(text_result(a));
    harness::take(text_result(b));
    EXPECT_EQ(harness::support_loads(), 1);
    a.unload();
    EXPECT_TRUE(harness::support_loaded());
    EXPECT_EQ(harness::take(text_result(b)), "");
    b.unload();
    EXPECT_FALSE(harness::support_loaded());
    EXPECT_EQ(harness::support_releases(), 1);
}
#endif

} // namespace
