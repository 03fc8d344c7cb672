#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QIcon>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <utility>

#include <unistd.h>

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

// The fields of /proc/PID/stat after the command name (field 3, the state, first); empty where
// there is none.
QList<QByteArray> champsStat(const QString &pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray texte = stat.readAll();
    const qsizetype fin = texte.lastIndexOf(')');
    return fin < 0 ? QList<QByteArray>{} : texte.mid(fin + 2).split(' ');
}

// Milliseconds since the kernel started this process (to 10 ms, the clock tick); -1 where /proc
// does not tell. Unlike a timer started in main, this counts the loading of the libraries.
long long depuisDemarrageProcessus()
{
    const QList<QByteArray> champs = champsStat(QStringLiteral("self"));
    QFile uptime(QStringLiteral("/proc/uptime"));
    if (champs.size() < 20 || !uptime.open(QIODevice::ReadOnly))
        return -1;
    const double maintenant = uptime.readAll().split(' ').value(0).toDouble();
    const double debut = champs[19].toDouble() / static_cast<double>(sysconf(_SC_CLK_TCK)); // field 22
    return static_cast<long long>((maintenant - debut) * 1000.0 + 0.5);
}

// Processor time this process has used so far, user and system, in milliseconds: unlike the
// elapsed time, it hardly depends on what else the machine is doing.
long long tempsProcesseur()
{
    const QList<QByteArray> champs = champsStat(QStringLiteral("self"));
    if (champs.size() < 13)
        return -1;
    const double ticks = champs[11].toDouble() + champs[12].toDouble(); // fields 14 and 15
    return static_cast<long long>(ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK)) + 0.5);
}

// The resident size of the helper processes this one started (the browser's), in kilobytes, and
// how many there are.
std::pair<long, int> residentAides()
{
    std::set<QString> famille{QString::number(getpid())};
    std::map<QString, QString> parents;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : pids) {
        bool nombre = false;
        pid.toInt(&nombre);
        if (const QList<QByteArray> champs = nombre ? champsStat(pid) : QList<QByteArray>{}; champs.size() > 1)
            parents[pid] = QString::fromLatin1(champs[1]);
    }
    // Children appear after their parents' numbers only until the numbers wrap: go round until
    // nothing more joins.
    for (std::size_t avant = 0; avant != famille.size();) {
        avant = famille.size();
        for (const auto &[pid, parent] : parents)
            if (famille.count(parent))
                famille.insert(pid);
    }
    long total = 0;
    int aides = 0;
    for (const QString &pid : famille) {
        if (pid == QString::number(getpid()))
            continue;
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        ++aides;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                total += line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return {total, aides};
}

// With TARVENKO_MESURE set, the program prints one line once its main window is shown and the
// event queue has run dry (how long the start took from main and from the process's start, what
// it loaded, its resident size and that of the browser's helper processes) and quits. The
// start-up measurements and the installation test read that line.
void mesureEtQuitte(const QElapsedTimer &depuisLancement, const tarvenko::KeyModel &m)
{
    QTimer::singleShot(0, qApp, [&depuisLancement, &m] {
        const long long depuisMain = depuisLancement.elapsed();
        const long long depuisProcessus = depuisDemarrageProcessus();
        const long long processeur = tempsProcesseur();
        const auto [aidesKb, aides] = residentAides();
        std::printf("tarvenko-mesure start-up-ms=%lld base=%s species=%d states=%d rss-kb=%ld process-ms=%lld "
                    "cpu-ms=%lld helpers=%d helpers-rss-kb=%ld\n",
                    depuisMain, m.Chemin_Base.c_str(), m.Nb_Esp, m.Nb_Etats_Desc, residentKb(), depuisProcessus,
                    processeur, aides, aidesKb);
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
    tarvenko::Identite_Application();
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

    // The command line as one text, as the program receives it from a shell or a file manager,
    // and the key named by --key.
    const tarvenko::Arguments_Programme arguments = tarvenko::Lit_Arguments(QApplication::arguments().mid(1));
    if (!tarvenko::Main(ctx, arguments.ligneCommande, arguments.cle))
        return 0;
    if (qEnvironmentVariableIsSet("TARVENKO_MESURE"))
        mesureEtQuitte(depuisLancement, model);
    return QApplication::exec();
}
