#pragma once
// Stands in for the operator at the message boxes: records each box (its
// code page 936 text as given, and its type) and answers IDOK, as a person
// pressing OK would, without showing anything. Recording copies the bytes
// only, so that the copy step's figures hold as little of the stand-in as
// possible.

#include <QByteArray>

#include <vector>

namespace prvc03::bench {

struct RecordedBox {
    QByteArray text;
    unsigned type = 0;
};

// Installs the recorder for the life of the program.
void InstallMessageRecorder();
std::vector<RecordedBox>& RecordedBoxes();

}  // namespace prvc03::bench
