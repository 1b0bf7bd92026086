#include "platform/HostString.h"

#include <cstring>

namespace prvc03::platform {

QByteArray ReadHostString(const char* text) {
    if (text == nullptr) {
        return {};
    }
    std::int32_t length = 0;
    std::memcpy(&length, text - 4, sizeof length);
    if (length <= 0) {
        return {};
    }
    const void* nul = std::memchr(text, '\0', static_cast<std::size_t>(length));
    const auto size = nul != nullptr ? static_cast<const char*>(nul) - text : length;
    return QByteArray(text, static_cast<qsizetype>(size));
}

HostString::HostString(const QByteArray& bytes, std::int32_t refCount) {
    const auto length = static_cast<std::int32_t>(bytes.size());
    block_ = std::make_unique<char[]>(kHeader + static_cast<std::size_t>(length) + 1);
    std::memcpy(block_.get(), &refCount, sizeof refCount);
    std::memcpy(block_.get() + 4, &length, sizeof length);
    std::memcpy(block_.get() + kHeader, bytes.constData(), static_cast<std::size_t>(length));
    block_[kHeader + static_cast<std::size_t>(length)] = '\0';
}

}  // namespace prvc03::platform
