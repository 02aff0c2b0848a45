// The one QApplication of the shell tests: whichever test asks first makes it.
#pragma once

#include <QApplication>

namespace plox::shell {

inline QApplication& test_application() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *existing;
    static int argc = 1;
    static char name[] = "shell_tests";
    static char* argv[] = {name, nullptr};
    return *new QApplication(argc, argv);
}

} // namespace plox::shell
