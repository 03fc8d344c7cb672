#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QIcon>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include "knowledge/key_model.h"
#include "platform/dialog_service.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"
#include "shell/contexte.h"
#include "shell/demarrage.h"
#include "shell/registre.h"

// Resources of a static library must be registered by name, outside any namespace.
static void initialiseIcones() { Q_INIT_RESOURCE(icons); }

namespace {

// Resident size of this process in kilobytes, from /proc; 0 where there is none.
long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// With TARVENKO_MESURE set, the program prints one line once its main window is shown and the
// event queue has run dry (how long the start took, what it loaded, its resident size) and quits.
// The start-up measurements and the installation test read that line.
void mesureEtQuitte(const QElapsedTimer &depuisLancement, const tarvenko::KeyModel &m)
{
    QTimer::singleShot(0, qApp, [&depuisLancement, &m] {
        std::printf("tarvenko-mesure start-up-ms=%lld base=%s species=%d states=%d rss-kb=%ld\n",
                    static_cast<long long>(depuisLancement.elapsed()), m.Chemin_Base.c_str(), m.Nb_Esp,
                    m.Nb_Etats_Desc, residentKb());
        std::fflush(stdout);
        QApplication::exit(0);
    });
}

} // namespace

int main(int argc, char **argv)
{
    QElapsedTimer depuisLancement;
    depuisLancement.start();
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvenko"));
    QApplication::setOrganizationName(QStringLiteral("Tarvenko"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tarvenko"));
    // The installed menu entry (tarvenko.desktop), by which desktops group the windows and find the icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tarvenko"));
    initialiseIcones();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tarvenko.svg")));

    tarvenko::KeyModel model;
    tarvenko::SettingsStore settings(tarvenko::Valeurs_Sans_Installation());
    tarvenko::QtDialogService dialogs;
    tarvenko::SingleInstance instance;
    tarvenko::Contexte ctx{model, settings, dialogs, instance,
                           [](int code) {
                               std::fflush(nullptr);
                               std::_Exit(code);
                           },
                           {}};

    // The command line as one text, as the program receives it from a shell or a file manager.
    const QStringList arguments = QApplication::arguments().mid(1);
    if (!tarvenko::Main(ctx, arguments.join(QLatin1Char(' '))))
        return 0;
    if (qEnvironmentVariableIsSet("TARVENKO_MESURE"))
        mesureEtQuitte(depuisLancement, model);
    return QApplication::exec();
}
