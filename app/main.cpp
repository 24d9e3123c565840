#include <QApplication>

#include "app/QtUserDialogs.h"
#include "app/SubMain.h"
#include "app/TerminalOptions.h"

int main(int argc, char** argv) {
    // --help, --version and --check answer on the terminal, without a display.
    const int terminalExit = RunTerminalOption(argc, argv);
    if (terminalExit >= 0) {
        return terminalExit;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(ApplicationTitle());
    InstallGermanQtTranslations();
    QtUserDialogs dialogs;
    SetDialogs(&dialogs);
    return Main();
}
