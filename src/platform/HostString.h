#pragma once
// The host runtime's counted strings: a 32-bit reference count 8 bytes and a
// 32-bit byte length 4 bytes before the first byte, and a NUL after the last
// byte. A null pointer is the empty text.

#include <QByteArray>

#include <cstdint>
#include <memory>

namespace prvc03::platform {

// Reads a counted string. The counted length is trusted only up to the first
// NUL inside it, and a negative length reads as the empty text.
QByteArray ReadHostString(const char* text);

// Builds a counted string (for hosts and tests); owns its block.
class HostString {
  public:
    HostString() = default;
    explicit HostString(const QByteArray& bytes, std::int32_t refCount = -1);
    // The pointer a host passes: the first byte, or null for a null string.
    const char* data() const { return block_ ? block_.get() + kHeader : nullptr; }
    static HostString Null() { return HostString(); }

  private:
    static constexpr std::size_t kHeader = 8;
    std::unique_ptr<char[]> block_;
};

}  // namespace prvc03::platform
