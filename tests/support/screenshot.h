// The screenshot programs' one way of saving a window: drawn after the
// pending events, written as PNG, its path printed (or the failure).
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QWidget>

#include <cstdio>

namespace dyma::test {

inline void SaveScreenshot(QWidget& w, const QString& file) {
    QCoreApplication::processEvents();
    if (!w.grab().save(file)) std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    else std::printf("%s\n", qPrintable(file));
}

}  // namespace dyma::test
