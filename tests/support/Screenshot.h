#pragma once
// Pictures of windows for a person to look at: written only when
// PRVC03_TEST_SCREENSHOTS names a folder, so ordinary runs leave no files.

#include <QDir>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

namespace prvc03::test {

// Paints `window` (a failed paint shows as an empty picture) and, when asked
// for, saves the picture as `name` in the folder PRVC03_TEST_SCREENSHOTS names.
inline void SaveScreenshot(QWidget& window, const QString& name) {
    const QPixmap picture = window.grab();
    EXPECT_FALSE(picture.isNull()) << name.toStdString();
    const QString folder = qEnvironmentVariable("PRVC03_TEST_SCREENSHOTS");
    if (!folder.isEmpty()) {
        EXPECT_TRUE(picture.save(QDir(folder).filePath(name))) << name.toStdString();
    }
}

}  // namespace prvc03::test
