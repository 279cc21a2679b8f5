// Attachment scopes of the UDR module: the engine makes one routine instance per attachment
// and routine, each holding an AttachmentRef, and disposes of them all when the attachment
// ends. These tests play that part.
#include "udr/attachments.h"

#include "core/balance/handles.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using ardudf::udr::AttachmentRef;

bool alive(std::int32_t handle) { return static_cast<bool>(ardudf::balance::ContextLease(handle)); }

int a_key, b_key; // the addresses stand for two attachments' contexts

TEST(AttachmentScope, HandlesBelongToTheAttachmentThatMadeThem) {
    AttachmentRef a_create(&a_key), a_read(&a_key), b_read(&b_key);
    const std::int32_t h = a_create.create();
    ASSERT_NE(h, 0);
    struct Row {
        const AttachmentRef* ref;
        bool owns;
        const char* note;
    };
    const Row rows[] = {
        {&a_create, true, "the instance that made it"},
        {&a_read, true, "another routine of the same attachment"},
        {&b_read, false, "a routine of another attachment"},
    };
    for (const Row& row : rows) EXPECT_EQ(row.ref->owns(h), row.owns) << row.note;
    EXPECT_EQ(b_read.free(h), 0) << "another attachment cannot free it";
    EXPECT_TRUE(alive(h));
    EXPECT_EQ(a_read.free(h), 1);
    EXPECT_FALSE(alive(h));
    EXPECT_FALSE(a_create.owns(h)) << "a freed handle is no longer owned";
    EXPECT_EQ(a_create.free(h), 0) << "a second free";
}

// A walk asks about one handle again and again; whichever handle was asked last, a freed
// one must never be taken for owned.
TEST(AttachmentScope, FreeingEndsOwnershipWhateverWasAskedLast) {
    AttachmentRef a(&a_key), a_other_routine(&a_key);
    const std::int32_t h1 = a.create(), h2 = a.create();
    ASSERT_NE(h1, 0);
    ASSERT_NE(h2, 0);
    struct Step {
        std::int32_t ask;
        std::int32_t free;
        std::int32_t then_ask;
        bool owned;
    };
    const Step steps[] = {
        {h1, h2, h2, false}, // asked h1, freed h2
        {h1, 0, h1, true},
        {h1, h1, h1, false}, // asked h1, freed h1 by another routine of the attachment
    };
    for (const Step& s : steps) {
        (void)a.owns(s.ask);
        if (s.free != 0) {
            EXPECT_EQ(a_other_routine.free(s.free), 1);
        }
        EXPECT_EQ(a.owns(s.then_ask), s.owned) << s.then_ask;
    }
}

TEST(AttachmentScope, HandlesThatNameNothingAreNotOwned) {
    AttachmentRef a(&a_key);
    for (const std::int32_t h : {0, -1, 1, 123456, 1 << 20}) EXPECT_FALSE(a.owns(h)) << h;
}

TEST(AttachmentScope, ContextsLeftOpenGoWithTheLastInstanceOfTheAttachment) {
    auto first = std::make_unique<AttachmentRef>(&a_key);
    auto second = std::make_unique<AttachmentRef>(&a_key);
    auto other = std::make_unique<AttachmentRef>(&b_key);
    std::vector<std::int32_t> handles;
    for (int i = 0; i < 50; ++i) handles.push_back((i % 2 ? first : second)->create());
    const std::int32_t kept = other->create();
    for (const std::int32_t h : handles) EXPECT_TRUE(alive(h));

    first.reset(); // one routine disposed: the attachment still runs
    for (const std::int32_t h : handles) EXPECT_TRUE(alive(h));
    second.reset(); // the last one: the attachment has ended
    for (const std::int32_t h : handles) EXPECT_FALSE(alive(h));
    EXPECT_TRUE(alive(kept)) << "another attachment's context stays";
    other.reset();
    EXPECT_FALSE(alive(kept));
}

TEST(AttachmentScope, AKeyReusedAfterTheEndIsANewAttachment) {
    std::int32_t h = 0;
    {
        AttachmentRef ended(&a_key);
        h = ended.create();
        ASSERT_NE(h, 0);
    }
    AttachmentRef next(&a_key); // a new attachment's context at the same address
    EXPECT_FALSE(next.owns(h));
    EXPECT_FALSE(alive(h));
}

} // namespace
