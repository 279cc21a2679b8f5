// Balance contexts belong to the attachment that created them.
//
// The UDR engine makes one instance of each routine per attachment (keyed by the
// attachment's IExternalContext, which lives as long as the attachment) and disposes of
// every instance when the attachment ends. So each balance routine instance holds a
// reference to its attachment's scope; the scope lists the handles created there. A handle
// of another attachment is not in the list and behaves like a freed one; when the last
// instance of an attachment is disposed (the attachment ends, or the functions are
// dropped) the contexts it left open are freed.
#pragma once

#include <cstdint>

namespace ardudf::udr {

struct AttachmentScope;

// A counted reference to the scope of one attachment, found or made by its key.
class AttachmentRef {
public:
    AttachmentRef() noexcept = default;
    explicit AttachmentRef(const void* attachment_key); // throws std::bad_alloc
    ~AttachmentRef();
    AttachmentRef(const AttachmentRef&) = delete;
    AttachmentRef& operator=(const AttachmentRef&) = delete;

    // A new context owned by this attachment; 0 when memory or handles run out.
    std::int32_t create() noexcept;
    // Frees a context of this attachment: 1, or 0 for any other handle.
    std::int32_t free(std::int32_t handle) noexcept;
    // Whether the handle names a live context created by this attachment.
    bool owns(std::int32_t handle) const noexcept;

private:
    AttachmentScope* scope_ = nullptr;
};

} // namespace ardudf::udr
