// Counted strings as a host hands them over, with any counted length: the
// block (header, bytes, the layout's NUL) is allocated to its exact size, so
// AddressSanitizer sees any read past it. The text read is the bytes up to
// the counted length or the first NUL, whichever comes first.
#include <memory>

#include "FuzzSupport.h"
#include "platform/HostString.h"

using namespace prvc03;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    std::int32_t counted = 0;
    std::memcpy(&counted, data, sizeof counted);
    data += 4;
    size -= 4;

    const std::size_t blockSize = 8 + size + 1;
    std::unique_ptr<char[]> block(new char[blockSize]);
    const std::int32_t refCount = -1;
    std::memcpy(block.get(), &refCount, 4);
    std::memcpy(block.get() + 4, &counted, 4);
    std::memcpy(block.get() + 8, data, size);
    block[blockSize - 1] = '\0';

    const QByteArray text = platform::ReadHostString(block.get() + 8);

    const QByteArray bytes = fuzz::Bytes(data, size);
    QByteArray expected;
    if (counted > 0) {
        const qsizetype nul = bytes.indexOf('\0');
        const qsizetype real = nul < 0 ? bytes.size() : nul;
        expected = bytes.left(std::min<qsizetype>(real, counted));
    }
    fuzz::Require(text == expected, "bytes up to the counted length or the first NUL",
                  QString::fromLatin1(text.toHex()));
    fuzz::Require(platform::ReadHostString(nullptr).isEmpty(), "null is the empty text");
    return 0;
}
