#include "platform/Cp936.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <stdexcept>

namespace prvc03::platform {

namespace {

constexpr char kCodec[] = "windows-936";

// A converter per call (well under a microsecond to make): no state is kept
// between texts, and nothing per thread or per library outlives an unload.
// A lead byte cut off at the end of a text is dropped; other bytes that are
// not code page 936 decode as replacement characters.
constexpr auto kFlags = QStringConverter::Flag::Stateless;

[[noreturn]] void Unavailable() {
    throw std::runtime_error("The code page 936 converter (windows-936) is not available in Qt");
}

QStringEncoder Encoder() {
    QStringEncoder encoder(kCodec, kFlags);
    if (!encoder.isValid()) {
        Unavailable();
    }
    return encoder;
}

QStringDecoder Decoder() {
    QStringDecoder decoder(kCodec, kFlags);
    if (!decoder.isValid()) {
        Unavailable();
    }
    return decoder;
}

}  // namespace

QByteArray ToCp936(const QString& text) {
    if (text.isEmpty()) {
        return {};
    }
    QStringEncoder encoder = Encoder();
    return encoder.encode(text);
}

QString FromCp936(const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        return {};
    }
    QStringDecoder decoder = Decoder();
    return decoder.decode(bytes);
}

int Cp936Length(const QString& text) {
    return static_cast<int>(ToCp936(text).size());
}

}  // namespace prvc03::platform
