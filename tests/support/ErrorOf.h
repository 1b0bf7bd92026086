#pragma once
// The message of the Error an action raises, for tests that check it.

#include <QString>

#include <functional>

#include "session/Errors.h"

namespace prvc03::test {

// The message of the Error `action` raises; "<no error>" when it raises none.
inline QString ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.Message();
    }
    return QStringLiteral("<no error>");
}

}  // namespace prvc03::test
