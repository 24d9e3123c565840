#include "app/SubMain.h"

#include <QApplication>
#include <cstdlib>

#include "app/FormMain.h"
#include "db/AssemblyDbClass.h"
#include "shell/SelfUpdate.h"

int Main() {
    // A newer build on the update server is installed and started instead of this one.
    if (RunUpdateCheck()) {
        return 0;
    }
    // The database session is opened before the window accepts input; a failure is reported and
    // the window still opens.
    AssemblyDbClass::Shared();

    FormMain form;
    // Closing the window ends the process at once; the database connection goes with it.
    form.SetEndProcess([] { std::_Exit(0); });
    form.Form_Load();
    return QApplication::exec();
}
