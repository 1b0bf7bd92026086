#pragma once
// One column of a fetched result set, stored compactly: text as one UTF-16
// buffer with offsets, numbers as plain vectors, each with a null bitmap.
// Only values of other types are kept as QVariant. A value that does not fit
// the column's compact form turns the whole column into QVariant storage.

#include <QString>
#include <QStringView>
#include <QVariant>

#include <cstdint>
#include <vector>

#include "data/Field.h"
#include "data/PodBuffer.h"

namespace prvc03 {

class ResultColumn {
  public:
    enum class Kind { Text, Int, Double, Variant };

    // The storage a field of `type` gets.
    static Kind KindFor(FieldType type);

    explicit ResultColumn(Kind kind);

    Kind GetKind() const { return kind_; }
    int Count() const { return count_; }

    void Append(const QVariant& value);
    // Typed appends for readers that deliver plain values: AppendText only
    // on a Text column, AppendInt on an Int one, AppendDouble on a Double one.
    void AppendNull();
    void AppendText(QStringView text) {
        AppendChars(text);
        AppendNullBit(false);
        ++count_;
    }
    // Text as UTF-8 bytes, decoded straight into the column (Text only)
    // into the text QString::fromUtf8 makes of them: invalid sequences
    // become replacement characters, a byte order mark that starts the value
    // is dropped.
    void AppendUtf8(const char* data, std::size_t bytes);
    void AppendInt(qint64 value) {
        ints_.push_back(value);
        AppendNullBit(false);
        ++count_;
    }
    void AppendDouble(double value) {
        doubles_.push_back(value);
        AppendNullBit(false);
        ++count_;
    }
    // Releases spare capacity once every row is in.
    void Finish();

    bool IsNull(int row) const { return (nulls_[row >> 6] >> (row & 63)) & 1u; }
    QStringView TextAt(int row) const;  // Text kind only
    qint64 IntAt(int row) const { return ints_[row]; }
    double DoubleAt(int row) const { return doubles_[row]; }
    const QVariant& VariantAt(int row) const { return variants_[row]; }

    // The value as a field of `type` yields it; a valid null QVariant of the
    // field's type for NULL.
    QVariant Value(int row, FieldType type) const;
    // The display text; empty for NULL.
    QString Text(int row, FieldType type) const;
    // The same text without a copy when the column stores text; otherwise
    // made in `scratch`, which the view then refers to.
    QStringView TextView(int row, FieldType type, QString& scratch) const;

    std::size_t MemoryBytes() const;

  private:
    void AppendNullBit(bool isNull) {
        if ((count_ & 63) == 0) {
            nulls_.push_back(0);
        }
        if (isNull) {
            nulls_.back() |= std::uint64_t{1} << (count_ & 63);
        }
    }
    void AppendChars(QStringView text);
    void ToVariantStorage();
    QVariant StoredValue(int row) const;

    Kind kind_;
    int count_ = 0;
    PodBuffer<std::uint64_t> nulls_;
    PodBuffer<char16_t> chars_;
    PodBuffer<std::uint32_t> offsets_;
    PodBuffer<qint64> ints_;
    PodBuffer<double> doubles_;
    std::vector<QVariant> variants_;
};

}  // namespace prvc03
