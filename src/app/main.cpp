#include "app/form1.h"
#include "app/instancelock.h"
#include "app/platform.h"

#include <QApplication>
#include <QDir>
#include <QSessionManager>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(quelora::kProgramTitle);
    // The data folder is the program's own folder.
    const QString dataFolder = QDir::cleanPath(QCoreApplication::applicationDirPath());
    quelora::QtPlatform platform;
    // Held until the program ends; a lock left by a copy that died is taken over, one that
    // cannot be removed (a read-only folder) is passed by. Taken, and the data listed, on a
    // thread of their own while the window is built.
    quelora::DataFolderLock lock(dataFolder);
    quelora::TakingFolder taking = quelora::takeAndList(lock, dataFolder);
    quelora::installSpanishTranslations();
    Form1 form(dataFolder, platform);
    if (!quelora::takeDataFolder(taking.taken.get(), dataFolder, platform)) return 1;
    form.TakeListings(std::move(taking.listed));
    // Another computer's lock keeps no one out; the user hears of it once the window is up.
    if (const QString notice = quelora::otherComputerNotice(lock, dataFolder); !notice.isEmpty())
        form.ReportNotice(notice);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&form](QSessionManager&) { form.SessionEnds(); });
    form.Form_Load();
    form.show();
    return app.exec();
}
