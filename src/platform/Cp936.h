#pragma once
// Code page 936 (GBK) conversion, the byte form of every text of the module.

#include <QByteArray>
#include <QString>

namespace prvc03::platform {

QByteArray ToCp936(const QString& text);
QString FromCp936(const QByteArray& bytes);
// Length in code page 936 bytes: a Chinese character counts two.
int Cp936Length(const QString& text);

}  // namespace prvc03::platform
