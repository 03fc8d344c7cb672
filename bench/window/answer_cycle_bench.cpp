// Time of one answer in the main window, offscreen, on the bundled key: the question is open, a
// cell is picked and validated; the engine re-scores, the species list and the legend are
// refilled, and the drawing is rendered again. Reported against the engine's refresh alone.
#include <QAction>
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolBar>

#include <benchmark/benchmark.h>

#include "engine/question_bar.h"
#include "engine/refresh.h"
#include "knowledge/key_model.h"
#include "platform/dialog_service.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"
#include "shell/contexte.h"
#include "shell/frm_main.h"
#include "shell/registre.h"
#include "views/barres.h"
#include "views/robot_view.h"

using namespace tarvenko;

namespace {

class SilentDialogs final : public DialogService {
public:
    ReponseMessage message(QWidget *, const DemandeMessage &) override { return ReponseMessage::Ok; }
    std::optional<QString> fichierAOuvrir(QWidget *, const DemandeFichier &) override { return std::nullopt; }
    std::optional<QString> fichierAEnregistrer(QWidget *, const DemandeFichier &) override { return std::nullopt; }
    std::optional<QString> dossier(QWidget *, const QString &, const QString &) override { return std::nullopt; }
    bool imprimante(QWidget *, QPrinter &) override { return false; }
};

struct Window {
    QTemporaryDir settingsDir;
    KeyModel model;
    SettingsStore settings{Valeurs_Sans_Installation()};
    SilentDialogs dialogs;
    SingleInstance instance{settingsDir.filePath(QStringLiteral("lock"))};
    Contexte ctx{model, settings, dialogs, instance, [](int) {}, {}};
    frmMain window{ctx};

    Window()
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, settingsDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
        window.Form_Load(QString());
        model.Vue_Courante = 1;
        window.resize(1280, 800);
        window.show();
        window.Arrange_Fenetre();
        QCoreApplication::processEvents();
    }
};

Window &fenetre()
{
    static Window w;
    return w;
}

// Opens the leaf-type question and validates its cells in turn, as a person would.
void BM_AnswerCycleInWindow(benchmark::State &state)
{
    Window &w = fenetre();
    auto *deter = w.window.findChild<QToolBar *>(QStringLiteral("Barre_Deter"));
    auto *question = w.window.findChild<QToolBar *>(QStringLiteral("Barre_Question"));
    auto *robot = w.window.findChild<RobotView *>(QStringLiteral("Robot"));
    int cell = 0;
    for (auto _ : state) {
        Bouton_A(deter, 1)->trigger();
        w.model.Descripteur_Courant.Selection = static_cast<std::int16_t>(cell++ % w.model.Descripteur_Courant.Nb_Car);
        Bouton_A(question, 1)->trigger();
        benchmark::DoNotOptimize(robot->image().constBits());
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_AnswerCycleInWindow)->Unit(benchmark::kMillisecond);

// The engine's part alone: the refresh after an answer.
void BM_EngineRefreshOnly(benchmark::State &state)
{
    Window &w = fenetre();
    for (auto _ : state) {
        w.model.Modifie = false;
        benchmark::DoNotOptimize(Actualise_Identification(w.model, {}).liste.lignes.size());
    }
}
BENCHMARK(BM_EngineRefreshOnly)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
