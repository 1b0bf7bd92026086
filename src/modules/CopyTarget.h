#pragma once
// One target line of the copy window: the exact user code it stands for and
// the name shown beside it.

#include <QString>

namespace prvc03 {

struct CopyTarget {
    QString code;
    QString name;
};

}  // namespace prvc03
