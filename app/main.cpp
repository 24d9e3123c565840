#include <QApplication>

#include "app/QtUserDialogs.h"
#include "app/SubMain.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(ApplicationTitle());
    InstallGermanQtTranslations();
    QtUserDialogs dialogs;
    SetDialogs(&dialogs);
    return Main();
}
