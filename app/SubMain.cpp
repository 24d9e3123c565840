#include "app/SubMain.h"

#include <QApplication>
#include <cstdlib>

#include "app/FormMain.h"
#include "db/AssemblyDbClass.h"
#include "db/ConnectionProbe.h"
#include "shell/SelfUpdate.h"
#include "shell/Settings.h"
#include "shell/UserDialogs.h"

namespace {

// A settings file that cannot be used is named once; the program goes on without it.
void ReportSettingsProblems() {
    const QStringList problems = Settings::Current().FileProblems();
    if (problems.isEmpty()) {
        return;
    }
    Dialogs().MsgBox(QStringLiteral("Eine Einstellungsdatei wird nicht verwendet:\n%1\n\nEs gelten die übrigen "
                                    "Einstellungen und die Voreinstellungen. Einzelheiten zeigt der Befehl "
                                    "„velkor --check“.")
                         .arg(problems.join(QLatin1Char('\n'))),
                     MsgButtons::Ok, MsgIcon::Exclamation);
}

// The exit code of a start that cannot reach the database because of the data source or the server.
constexpr int kNoDatabase = 1;

}  // namespace

int Main() {
    ReportSettingsProblems();
    // A newer build on the update server is installed and started instead of this one.
    if (RunUpdateCheck()) {
        return 0;
    }
    // A missing data source or a server that does not answer is told in plain words, and the program ends:
    // without the database no scan can be recorded.
    {
        const ConnectionProbe probe;
        const QString problem = StartProblemMessage(probe.State(), probe.DataSource());
        if (!problem.isEmpty()) {
            Dialogs().MsgBox(problem, MsgButtons::Ok, MsgIcon::Critical);
            return kNoDatabase;
        }
    }
    // The database session is opened before the window accepts input; any other failure is reported and
    // the window still opens.
    const AssemblyDbClass& db = AssemblyDbClass::Shared();
    ReportMissingClaimTable(db.OnCluster(), db.HasClaimTable());

    FormMain form;
    // Closing the window ends the process at once; the database connection goes with it.
    form.SetEndProcess([] { std::_Exit(0); });
    form.Form_Load();
    return QApplication::exec();
}
