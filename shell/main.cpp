#include <QApplication>

#include "shell/widgets/QtUserDialogs.h"
#include "shell/widgets/SubMain.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(ApplicationTitle());
    InstallGermanQtTranslations();
    QtUserDialogs dialogs;
    SetDialogs(&dialogs);
    return Main();
}
