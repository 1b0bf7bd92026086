#pragma once
// A field description of a dataset: what a column is called, where it comes
// from, how it is labelled and typed, and how wide it is shown.

#include <QMetaType>
#include <QString>

namespace prvc03 {

enum class FieldType {
    Unknown,
    String,  // 8-bit text
    WideString,
    SmallInt,
    Integer,
    LargeInt,
    Boolean,
    Float,
    BCD,
    Date,
    Time,
    DateTime,
};

// Name of the check column: a dataset field so named is shown as one check
// box per record (letter case ignored).
inline const QString kSelectedField = QStringLiteral("selected");

struct Field {
    QString FieldName;
    QString Origin;        // table or alias that qualifies the column
    QString DisplayLabel;  // as set; may be empty
    FieldType DataType = FieldType::Unknown;
    int Size = 0;          // characters, for text fields
    int DisplayWidth = 0;  // characters; 0 = derived from type and size
    bool Calculated = false;
    QString Name;  // component name, e.g. hqryADMMGMG001; may be empty

    // The label shown to the operator: the display label, or the field name
    // when no label is set.
    QString Label() const { return DisplayLabel.isEmpty() ? FieldName : DisplayLabel; }
    // The width in characters a grid gives the column.
    int EffectiveDisplayWidth() const;
};

// A data field bound to the result column called `name`.
Field DataField(const QString& name, FieldType type, int size = 0, const QString& label = {},
                const QString& origin = {}, int displayWidth = 0);
// A calculated field: bound to no column, it reads NULL.
Field CalculatedField(const QString& name, FieldType type, const QString& label = {},
                      int displayWidth = 0);

// The field type of a result column reported with `type`.
FieldType FieldTypeFromMetaType(QMetaType type);
// The type of the values a field of `type` yields.
QMetaType MetaTypeOf(FieldType type);
bool IsTextType(FieldType type);
bool IsIntegerType(FieldType type);
bool IsFloatType(FieldType type);

}  // namespace prvc03
