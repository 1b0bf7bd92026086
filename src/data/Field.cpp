#include "data/Field.h"

#include <QDateTime>

namespace prvc03 {

int Field::EffectiveDisplayWidth() const {
    if (DisplayWidth > 0) {
        return DisplayWidth;
    }
    switch (DataType) {
        case FieldType::String:
        case FieldType::WideString:
            return Size > 0 ? Size : 12;
        case FieldType::SmallInt:
            return 6;
        case FieldType::Integer:
            return 10;
        case FieldType::LargeInt:
            return 15;
        case FieldType::Boolean:
            return 5;
        case FieldType::Float:
        case FieldType::BCD:
            return 10;
        case FieldType::Date:
            return 10;
        case FieldType::Time:
            return 8;
        case FieldType::DateTime:
            return 19;
        case FieldType::Unknown:
            break;
    }
    return 12;
}

Field DataField(const QString& name, FieldType type, int size, const QString& label,
                const QString& origin, int displayWidth) {
    Field field;
    field.FieldName = name;
    field.Origin = origin;
    field.DisplayLabel = label;
    field.DataType = type;
    field.Size = size;
    field.DisplayWidth = displayWidth;
    return field;
}

Field CalculatedField(const QString& name, FieldType type, const QString& label, int displayWidth) {
    Field field;
    field.FieldName = name;
    field.DisplayLabel = label;
    field.DataType = type;
    field.DisplayWidth = displayWidth;
    field.Calculated = true;
    return field;
}

FieldType FieldTypeFromMetaType(QMetaType type) {
    switch (type.id()) {
        case QMetaType::QString:
        case QMetaType::QChar:
            return FieldType::WideString;
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            return FieldType::SmallInt;
        case QMetaType::Int:
        case QMetaType::UInt:
            return FieldType::Integer;
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            return FieldType::LargeInt;
        case QMetaType::Bool:
            return FieldType::Boolean;
        case QMetaType::Float:
        case QMetaType::Double:
            return FieldType::Float;
        case QMetaType::QDate:
            return FieldType::Date;
        case QMetaType::QTime:
            return FieldType::Time;
        case QMetaType::QDateTime:
            return FieldType::DateTime;
        default:
            return FieldType::Unknown;
    }
}

QMetaType MetaTypeOf(FieldType type) {
    switch (type) {
        case FieldType::String:
        case FieldType::WideString:
            return QMetaType::fromType<QString>();
        case FieldType::SmallInt:
        case FieldType::Integer:
            return QMetaType::fromType<int>();
        case FieldType::LargeInt:
            return QMetaType::fromType<qlonglong>();
        case FieldType::Boolean:
            return QMetaType::fromType<bool>();
        case FieldType::Float:
        case FieldType::BCD:
            return QMetaType::fromType<double>();
        case FieldType::Date:
            return QMetaType::fromType<QDate>();
        case FieldType::Time:
            return QMetaType::fromType<QTime>();
        case FieldType::DateTime:
            return QMetaType::fromType<QDateTime>();
        case FieldType::Unknown:
            break;
    }
    return QMetaType();
}

bool IsTextType(FieldType type) {
    return type == FieldType::String || type == FieldType::WideString;
}

bool IsIntegerType(FieldType type) {
    return type == FieldType::SmallInt || type == FieldType::Integer ||
           type == FieldType::LargeInt || type == FieldType::Boolean;
}

bool IsFloatType(FieldType type) {
    return type == FieldType::Float || type == FieldType::BCD;
}

}  // namespace prvc03
