// Code page 936 both ways: decoding any bytes and encoding any text must not
// crash, and no character may turn into a byte that means something to SQL or
// to a C string: a single quote byte only for U+0027, a NUL byte only for
// U+0000. (GBK's trail bytes start at 0x40, so neither can hide in one.)
#include "FuzzSupport.h"
#include "platform/Cp936.h"

using namespace prvc03;

namespace {

void CheckEncoding(const QString& text) {
    const QByteArray bytes = platform::ToCp936(text);
    fuzz::Require(bytes.count('\'') == text.count(QChar(u'\'')),
                  "a quote byte only for a quote character", text);
    fuzz::Require(bytes.count('\0') == text.count(QChar(u'\0')),
                  "a NUL byte only for a NUL character", text);
    fuzz::Require(platform::Cp936Length(text) == bytes.size(), "the byte length", text);
    const QString back = platform::FromCp936(bytes);
    fuzz::Require(back.count(QChar(u'\'')) == text.count(QChar(u'\'')),
                  "quotes survive the round trip", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QString decoded = platform::FromCp936(bytes);
    // A decoded quote or NUL comes only from the same single byte.
    fuzz::Require(decoded.count(QChar(u'\'')) <= bytes.count('\''),
                  "no quote made out of other bytes", QString::fromLatin1(bytes.toHex()));
    fuzz::Require(decoded.count(QChar(u'\0')) <= bytes.count('\0'),
                  "no NUL made out of other bytes", QString::fromLatin1(bytes.toHex()));
    CheckEncoding(decoded);
    CheckEncoding(fuzz::Utf16(data, size));
    return 0;
}
