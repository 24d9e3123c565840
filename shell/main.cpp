#include <QApplication>

#include "shell/widgets/QtUserDialogs.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InstallGermanQtTranslations();
    QtUserDialogs dialogs;
    SetDialogs(&dialogs);
    return 0;
}
