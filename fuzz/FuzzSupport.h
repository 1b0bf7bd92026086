#pragma once
// Shared by the fuzz targets: a property check that stops the run with the
// input saved, and texts made from the fuzzer's bytes.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace prvc03::fuzz {

// A broken property is a finding: libFuzzer saves the input on abort.
inline void Require(bool holds, const char* property, const QString& detail = QString()) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n%s\n", property, detail.toUtf8().constData());
        std::abort();
    }
}

// The bytes as UTF-16 code units (lone surrogates and NULs included).
inline QString Utf16(const std::uint8_t* data, std::size_t size) {
    QString text(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    std::memcpy(text.data(), data, (size / 2) * 2);
    return text;
}

inline QByteArray Bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

}  // namespace prvc03::fuzz
