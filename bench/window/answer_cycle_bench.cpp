// Time of one answer in the main window, offscreen: the question is open, a cell is picked and
// validated; the engine re-scores, the species list and the legend are refilled, and the drawing
// is rendered again. Reported against the engine's refresh alone. Also the discriminant search
// from the bar's Search button to the question shown, and the question list: shown, filtered by
// one keystroke, answered from.
//
// On the bundled key, or on the key whose folder (holding data/, robot/, descripteurs/) is in
// TARVENKO_CLE, such as one written by tarvenko-big-kb.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTreeView>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolBar>

#include <benchmark/benchmark.h>

#include <memory>

#include "engine/question_bar.h"
#include "engine/refresh.h"
#include "knowledge/key_model.h"
#include "platform/dialog_service.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"
#include "shell/contexte.h"
#include "shell/frm_main.h"
#include "shell/saisie_num.h"
#include "shell/registre.h"
#include "views/barres.h"
#include "views/liste_questions.h"
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
    void proprietes(QWidget *, const FicheProprietes &) override {}
};

SettingsStore::Valeurs valeurs()
{
    SettingsStore::Valeurs v = Valeurs_Sans_Installation();
    const QString cle = qEnvironmentVariable("TARVENKO_CLE");
    if (!cle.isEmpty()) {
        const QString racine = cle + QLatin1Char('/');
        v[QStringLiteral("Logiciel/Data")] = racine + QStringLiteral("data/");
        v[QStringLiteral("Logiciel/Descripteurs")] = racine + QStringLiteral("descripteurs/");
        v[QStringLiteral("Logiciel/Robot")] = racine + QStringLiteral("robot/");
        v[QStringLiteral("Documents/Adresse")] = racine + QStringLiteral("documents/");
    }
    return v;
}

struct Window {
    QTemporaryDir settingsDir;
    KeyModel model;
    SettingsStore settings{valeurs()};
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

// Made by the first benchmark, destroyed in main while the application still exists.
std::unique_ptr<Window> g_fenetre;

Window &fenetre()
{
    if (!g_fenetre)
        g_fenetre = std::make_unique<Window>();
    return *g_fenetre;
}

// The position of the determination bar's button with this key.
int positionBouton(QToolBar *barre, const QString &cle)
{
    for (int p = 1; QAction *a = Bouton_A(barre, p); p += 2)
        if (a->property("tag").toString() == cle)
            return p;
    return 0;
}

// With nothing answered yet, every species is in the lead: the search counts them all. The
// question is left with its Back button, outside the timing.
void BM_DiscriminantSearchInWindow(benchmark::State &state)
{
    Window &w = fenetre();
    auto *deter = w.window.findChild<QToolBar *>(QStringLiteral("Barre_Deter"));
    auto *question = w.window.findChild<QToolBar *>(QStringLiteral("Barre_Question"));
    QAction *chercher = Bouton_A(deter, positionBouton(deter, QStringLiteral("Search")));
    if (!chercher) {
        state.SkipWithError("no Search button");
        return;
    }
    for (auto _ : state) {
        chercher->trigger();
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (w.model.Vue_Courante != 2)
            state.SkipWithError("no question shown");
        Bouton_A(question, 3)->trigger();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["leading"] = w.model.Nb_Esp_Max;
}
BENCHMARK(BM_DiscriminantSearchInWindow)->Unit(benchmark::kMillisecond);

// Opens the leaf-type question and validates its cells in turn, as a person would. A key without
// a drawing has no such button: there the question is the one Search proposes, answered, then
// withdrawn by a new identification outside the timing, so that Search proposes it again.
void BM_AnswerCycleInWindow(benchmark::State &state)
{
    Window &w = fenetre();
    auto *deter = w.window.findChild<QToolBar *>(QStringLiteral("Barre_Deter"));
    auto *question = w.window.findChild<QToolBar *>(QStringLiteral("Barre_Question"));
    auto *robot = w.window.findChild<RobotView *>(QStringLiteral("Robot"));
    QAction *ouvre = Bouton_A(deter, 1);
    ouvre->trigger();
    QCoreApplication::processEvents();
    const bool question1 = w.model.Vue_Courante == 2 && w.model.Descripteur_Courant.Nb_Car > 0;
    if (w.model.Vue_Courante == 2)
        Bouton_A(question, 3)->trigger();
    QCoreApplication::processEvents();
    QAction *chercher = Bouton_A(deter, positionBouton(deter, QStringLiteral("Search")));
    if (!question1)
        ouvre = chercher;
    const bool parRecherche = ouvre == chercher;
    if (!ouvre) {
        state.SkipWithError("no question to open");
        return;
    }
    auto *nouvelle = w.window.findChild<QAction *>(QStringLiteral("mnuFileNew"));
    auto *saisie = w.window.findChild<SaisieNumView *>(QStringLiteral("Saisie_Num"));
    int cell = 0;
    for (auto _ : state) {
        ouvre->trigger();
        if (saisie && saisie->isVisible()) {
            // A numeric question: a number typed.
            saisie->entree()->setText(QString::number(cell++ % 100));
        } else if (w.model.Descripteur_Courant.Nb_Car > 0) {
            w.model.Descripteur_Courant.Selection = static_cast<std::int16_t>(cell++ % w.model.Descripteur_Courant.Nb_Car);
        } else {
            state.SkipWithError("no question opened");
            break;
        }
        Bouton_A(question, 1)->trigger();
        benchmark::DoNotOptimize(robot->image().constBits());
        QCoreApplication::processEvents();
        if (parRecherche) {
            // Search proposes the same question again only to a new identification.
            state.PauseTiming();
            w.model.Modifie = false;
            nouvelle->trigger();
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
    }
    state.counters["species"] = w.model.Nb_Esp;
    state.counters["states"] = w.model.Nb_Etats_Desc;
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

// ---- The question list ----

QAction *boutonQuestions(Window &w)
{
    for (QAction *a : w.window.findChild<QToolBar *>(QStringLiteral("tbToolBar"))->actions())
        if (a->property("Key").toString() == QLatin1String("Questions"))
            return a;
    return nullptr;
}

// The list shown in the drawing's place, made from the key as the first showing makes it (the
// list is made again before each showing, outside the timing).
void BM_ShowQuestionList(benchmark::State &state)
{
    Window &w = fenetre();
    auto *liste = w.window.findChild<ListeQuestionsView *>(QStringLiteral("Liste_Questions"));
    QAction *bouton = boutonQuestions(w);
    for (auto _ : state) {
        state.PauseTiming();
        if (liste->isVisible())
            bouton->trigger();
        liste->setModele(&w.model);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        bouton->trigger();
        QCoreApplication::processEvents();
    }
    const QAbstractItemModel *modele = liste->arbre()->model();
    int questions = 0;
    for (int g = 0; g < modele->rowCount(); ++g)
        questions += modele->rowCount(modele->index(g, 0));
    state.counters["questions"] = questions;
}
BENCHMARK(BM_ShowQuestionList)->Unit(benchmark::kMillisecond);

void montreListe(Window &w)
{
    auto *liste = w.window.findChild<ListeQuestionsView *>(QStringLiteral("Liste_Questions"));
    if (!liste->isVisible())
        boutonQuestions(w)->trigger();
    QCoreApplication::processEvents();
}

// One keystroke in the search box, the list filtered and painted: "leaf" typed a letter at a
// time, then cleared.
void BM_FilterQuestionList(benchmark::State &state)
{
    Window &w = fenetre();
    montreListe(w);
    QLineEdit *recherche = w.window.findChild<ListeQuestionsView *>(QStringLiteral("Liste_Questions"))->recherche();
    const QString mot = QStringLiteral("leaf");
    qsizetype n = 0;
    for (auto _ : state) {
        n = (n + 1) % (mot.size() + 1);
        recherche->setText(mot.left(n));
        QCoreApplication::processEvents();
    }
    recherche->clear();
}
BENCHMARK(BM_FilterQuestionList)->Unit(benchmark::kMillisecond);

// The leaf-type question opened from the list with Enter, a cell picked, validated: back to the
// list with the answer in it.
void BM_AnswerFromQuestionList(benchmark::State &state)
{
    Window &w = fenetre();
    montreListe(w);
    auto *liste = w.window.findChild<ListeQuestionsView *>(QStringLiteral("Liste_Questions"));
    auto *deter = w.window.findChild<QToolBar *>(QStringLiteral("Barre_Deter"));
    auto *question = w.window.findChild<QToolBar *>(QStringLiteral("Barre_Question"));
    const std::string objet = Bouton_A(deter, 1)->property("tag").toString().toStdString();
    int cell = 0;
    for (auto _ : state) {
        if (!liste->choisitQuestion(objet)) {
            state.SkipWithError("the leaf question is not in the list");
            return;
        }
        QKeyEvent entree(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(liste->arbre(), &entree);
        w.model.Descripteur_Courant.Selection = static_cast<std::int16_t>(cell++ % w.model.Descripteur_Courant.Nb_Car);
        Bouton_A(question, 1)->trigger();
        QCoreApplication::processEvents();
        if (!liste->isVisible())
            state.SkipWithError("the list did not come back");
    }
}
BENCHMARK(BM_AnswerFromQuestionList)->Unit(benchmark::kMillisecond);

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
    g_fenetre.reset();
    return 0;
}
