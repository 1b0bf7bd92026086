#include "data/ResultColumn.h"

#include <QDateTime>
#include <QStringDecoder>

#include <cmath>
#include <limits>

#include "session/Errors.h"

namespace prvc03 {

namespace {

template <class Buffer>
std::size_t Bytes(const Buffer& v) {
    return v.capacity() * sizeof(*v.data());
}

QString VariantText(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QDate:
            return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
        case QMetaType::QTime:
            return value.toTime().toString(QStringLiteral("hh:mm:ss"));
        case QMetaType::QDateTime:
            return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        case QMetaType::Double:
        case QMetaType::Float:
            return QString::number(value.toDouble(), 'g', 15);
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        default:
            return value.toString();
    }
}

}  // namespace

ResultColumn::Kind ResultColumn::KindFor(FieldType type) {
    if (IsTextType(type)) {
        return Kind::Text;
    }
    if (IsIntegerType(type)) {
        return Kind::Int;
    }
    if (IsFloatType(type)) {
        return Kind::Double;
    }
    return Kind::Variant;
}

ResultColumn::ResultColumn(Kind kind) : kind_(kind) {
    if (kind_ == Kind::Text) {
        offsets_.push_back(0);
    }
}

void ResultColumn::AppendNull() {
    AppendNullBit(true);
    switch (kind_) {
        case Kind::Text:
            offsets_.push_back(offsets_.back());
            break;
        case Kind::Int:
            ints_.push_back(0);
            break;
        case Kind::Double:
            doubles_.push_back(0);
            break;
        case Kind::Variant:
            variants_.emplace_back();
            break;
    }
    ++count_;
}

void ResultColumn::AppendChars(QStringView text) {
    const std::size_t end = chars_.size() + static_cast<std::size_t>(text.size());
    if (end > std::numeric_limits<std::uint32_t>::max()) {
        throw Error(QStringLiteral("The result set is too large"));
    }
    chars_.Append(reinterpret_cast<const char16_t*>(text.utf16()),
                  static_cast<std::size_t>(text.size()));
    offsets_.push_back(static_cast<std::uint32_t>(end));
}

void ResultColumn::AppendUtf8(const char* data, std::size_t bytes) {
    // UTF-16 never takes more units than UTF-8 takes bytes.
    char16_t* out = chars_.Room(bytes);
    std::size_t ascii = 0;
    while (ascii < bytes && static_cast<unsigned char>(data[ascii]) < 0x80) {
        out[ascii] = static_cast<char16_t>(data[ascii]);
        ++ascii;
    }
    std::size_t units = ascii;
    if (ascii < bytes) {
        // The whole value again, not only its rest: the decoder drops a byte
        // order mark at the start of what it is given, and one after an
        // ASCII start is a character of the text (QString::fromUtf8 keeps it).
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QChar* end =
            decoder.appendToBuffer(reinterpret_cast<QChar*>(out), QByteArrayView(data, bytes));
        units = static_cast<std::size_t>(end - reinterpret_cast<QChar*>(out));
    }
    const std::size_t size = chars_.size() + units;
    if (size > std::numeric_limits<std::uint32_t>::max()) {
        throw Error(QStringLiteral("The result set is too large"));
    }
    chars_.Commit(units);
    offsets_.push_back(static_cast<std::uint32_t>(size));
    AppendNullBit(false);
    ++count_;
}

void ResultColumn::Append(const QVariant& value) {
    if (value.isNull()) {
        AppendNull();
        return;
    }
    switch (kind_) {
        case Kind::Text:
            // Text as the drivers deliver it is read in place, without a copy.
            if (value.typeId() == QMetaType::QString) {
                AppendChars(*static_cast<const QString*>(value.constData()));
            } else {
                AppendChars(value.toString());
            }
            break;
        case Kind::Int: {
            bool ok = false;
            const qint64 v = value.toLongLong(&ok);
            const bool fractional = value.typeId() == QMetaType::Double &&
                                    std::trunc(value.toDouble()) != value.toDouble();
            if (!ok || fractional) {
                ToVariantStorage();
                variants_.push_back(value);
                break;
            }
            ints_.push_back(v);
            break;
        }
        case Kind::Double: {
            bool ok = false;
            const double v = value.toDouble(&ok);
            if (!ok) {
                ToVariantStorage();
                variants_.push_back(value);
                break;
            }
            doubles_.push_back(v);
            break;
        }
        case Kind::Variant:
            variants_.push_back(value);
            break;
    }
    AppendNullBit(false);
    ++count_;
}

void ResultColumn::Finish() {
    nulls_.shrink_to_fit();
    chars_.shrink_to_fit();
    offsets_.shrink_to_fit();
    ints_.shrink_to_fit();
    doubles_.shrink_to_fit();
    variants_.shrink_to_fit();
}

QStringView ResultColumn::TextAt(int row) const {
    const std::uint32_t begin = offsets_[row];
    return QStringView(chars_.data() + begin, offsets_[row + 1] - begin);
}

QVariant ResultColumn::StoredValue(int row) const {
    switch (kind_) {
        case Kind::Text:
            return TextAt(row).toString();
        case Kind::Int:
            return ints_[row];
        case Kind::Double:
            return doubles_[row];
        case Kind::Variant:
            return variants_[row];
    }
    return {};
}

void ResultColumn::ToVariantStorage() {
    if (kind_ == Kind::Variant) {
        return;
    }
    std::vector<QVariant> values;
    values.reserve(static_cast<std::size_t>(count_) + 1);
    for (int row = 0; row < count_; ++row) {
        values.push_back(IsNull(row) ? QVariant() : StoredValue(row));
    }
    chars_ = {};    // frees the storage
    offsets_ = {};  // frees the storage
    ints_ = {};     // frees the storage
    doubles_ = {};  // frees the storage
    variants_ = std::move(values);
    kind_ = Kind::Variant;
}

QVariant ResultColumn::Value(int row, FieldType type) const {
    const QMetaType meta = MetaTypeOf(type);
    if (IsNull(row)) {
        return meta.isValid() ? QVariant(meta) : QVariant(QMetaType::fromType<QString>());
    }
    switch (kind_) {
        case Kind::Text:
            return TextAt(row).toString();
        case Kind::Int: {
            const qint64 v = ints_[row];
            if (type == FieldType::Boolean) {
                return v != 0;
            }
            if ((type == FieldType::Integer || type == FieldType::SmallInt) &&
                v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max()) {
                return static_cast<int>(v);
            }
            return v;
        }
        case Kind::Double:
            return doubles_[row];
        case Kind::Variant: {
            QVariant v = variants_[row];
            if (meta.isValid() && v.metaType() != meta && v.canConvert(meta)) {
                QVariant converted = v;
                if (converted.convert(meta)) {
                    return converted;
                }
            }
            return v;
        }
    }
    return {};
}

QString ResultColumn::Text(int row, FieldType type) const {
    if (IsNull(row)) {
        return {};
    }
    switch (kind_) {
        case Kind::Text:
            return TextAt(row).toString();
        case Kind::Int:
            if (type == FieldType::Boolean) {
                return ints_[row] != 0 ? QStringLiteral("True") : QStringLiteral("False");
            }
            return QString::number(ints_[row]);
        case Kind::Double:
            return QString::number(doubles_[row], 'g', 15);
        case Kind::Variant:
            return VariantText(Value(row, type));
    }
    return {};
}

QStringView ResultColumn::TextView(int row, FieldType type, QString& scratch) const {
    if (kind_ == Kind::Text) {
        return IsNull(row) ? QStringView() : TextAt(row);
    }
    scratch = Text(row, type);
    return scratch;
}

std::size_t ResultColumn::MemoryBytes() const {
    std::size_t bytes = sizeof(*this) + Bytes(nulls_) + Bytes(chars_) + Bytes(offsets_) +
                        Bytes(ints_) + Bytes(doubles_) + Bytes(variants_);
    return bytes;
}

}  // namespace prvc03
