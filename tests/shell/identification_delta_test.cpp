// DELTA keys played in the window as a user plays them: the key opened from its dataset folder,
// Search pressed, each proposed question answered with the states (or the value) of one item,
// until the search has nothing left to ask; the item is then first at 100 %. With
// TARVENKO_CAPTURES set to a folder, the window is saved there at each step (for looking at it).
#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>

#include <filesystem>

#include "engine/default_bars.h"
#include "engine/numeric_characters.h"
#include "support/fenetre_test.h"
#include "views/barres.h"
#include "views/liste_questions.h"
#include "views/pic_choix.h"

using namespace tarvenko;

namespace {

QString jeuDelta(const char *nom) { return QStringLiteral(TARVENKO_DELTA_SAMPLES "/") + QLatin1String(nom); }

struct CleDelta : test::FenetreTest {
    QTemporaryDir cache;
    QString captures = qEnvironmentVariable("TARVENKO_CAPTURES");
    QString prefixe;
    int vue = 0;

    explicit CleDelta(const char *jeu) : prefixe(QLatin1String(jeu))
    {
        // The dataset is converted into a cache of the test's own.
        qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
        window = std::make_unique<frmMain>(ctx);
        if (!window->Form_Load(QString(), jeuDelta(jeu)))
            qFatal("the window did not load");
        model.Vue_Courante = 1;
        window->resize(1200, 780);
        window->show();
        window->Arrange_Fenetre();
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("the window was not shown");
    }

    void capture(const QString &quoi, QWidget *w = nullptr)
    {
        if (captures.isEmpty())
            return;
        QTest::qWait(50);
        QDir().mkpath(captures);
        (w ? w : window.get())->grab().save(QDir(captures).filePath(
            QStringLiteral("%1-%2-%3.png").arg(prefixe).arg(++vue, 2, 10, QLatin1Char('0')).arg(quoi)));
    }

    QAction *bouton(QToolBar *barre, const char *tag) const
    {
        for (QAction *a : barre->actions())
            if (a->property("tag").toString() == QLatin1String(tag))
                return a;
        return nullptr;
    }
    void clique(QToolBar *barre, QAction *a)
    {
        QWidget *w = barre->widgetForAction(a);
        QVERIFY(w && w->isVisible());
        QTest::mouseClick(w, Qt::LeftButton);
    }
    int espece(const std::string &nom) const
    {
        for (std::size_t i = 0; i < model.Nom_Esp.size(); ++i)
            if (model.Nom_Esp[i] == nom)
                return static_cast<int>(i);
        return -1;
    }
};

} // namespace

class IdentificationDeltaTest : public QObject {
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private Q_SLOTS:
    void anItemIsIdentifiedByTheProposedQuestions_data()
    {
        QTest::addColumn<QString>("jeu");
        QTest::addColumn<QString>("item");
        QTest::newRow("grass-genera: Festuca") << QStringLiteral("grass-genera") << QStringLiteral("Festuca");
        QTest::newRow("cflora: Draba glabella") << QStringLiteral("cflora") << QStringLiteral("Draba glabella");
    }
    void anItemIsIdentifiedByTheProposedQuestions()
    {
        QFETCH(QString, jeu);
        QFETCH(QString, item);
        if (!std::filesystem::exists((jeuDelta(jeu.toUtf8().constData()) + QStringLiteral("/specs")).toStdString()))
            QSKIP("the DELTA datasets are not in " TARVENKO_DELTA_SAMPLES);
        CleDelta h(jeu.toUtf8().constData());
        const KeyModel &m = h.model;
        const int s = h.espece(item.toStdString());
        QVERIFY2(s >= 0, qPrintable(item));
        h.capture(QStringLiteral("start"));

        auto *deter = h.child<QToolBar>("Barre_Deter");
        auto *question = h.child<QToolBar>("Barre_Question");
        // No for "try the characteristics you passed?": the end is when nothing is left to ask.
        for (int i = 0; i < 200; ++i)
            h.dialogs.reponses.push_back(ReponseMessage::No);
        int reponses = 0, passes = 0;
        for (int pas = 0; pas < 60; ++pas) {
            // A pass has already asked the next question; otherwise Search proposes one.
            if (!question->isVisible())
                h.clique(deter, h.bouton(deter, "Search"));
            if (!question->isVisible())
                break; // the search said there is nothing more to ask, or a single species is left
            if (pas < 3 || pas % 4 == 0)
                h.capture(QStringLiteral("question"));
            auto *entree = h.child<QLineEdit>("Valeur_Num");
            bool repondu = false;
            if (entree && entree->isVisible()) {
                // A numeric question: the middle of the item's range.
                const std::string objet = m.Descripteur_Courant.Objet;
                const int c = Caractere_Num_De(m, objet);
                QVERIFY(c >= 0);
                const Caractere_Num &n = m.Caracteres_Num[static_cast<std::size_t>(c)];
                if (n.connue[static_cast<std::size_t>(s)]) {
                    const double v = (n.minimum[static_cast<std::size_t>(s)] + n.maximum[static_cast<std::size_t>(s)]) / 2;
                    entree->clear();
                    QTest::keyClicks(entree, QString::number(v, 'f', 3));
                    repondu = true;
                }
            } else {
                // The first state the item shows, unless it shows them all (no data).
                const Descripteur &d = m.Descripteur_Courant;
                int etat = -1, nb = 0;
                for (int k = 0; k < d.Nb_Car; ++k)
                    if (m.matrice(s, d.Index_Car + k)) {
                        ++nb;
                        if (etat < 0)
                            etat = k;
                    }
                if (etat >= 0 && nb < d.Nb_Car) {
                    auto *grille = h.child<PicChoixView>("Pic_Choix");
                    const int colonnes = grille->grille().colonnes, lignes = grille->grille().lignes;
                    const int w = grille->width() / colonnes, ht = grille->height() / lignes;
                    QTest::mouseClick(grille, Qt::LeftButton, {},
                                      QPoint((etat % colonnes) * w + w / 2, (etat / colonnes) * ht + ht / 2));
                    QCOMPARE(int(m.Descripteur_Courant.Selection), etat);
                    repondu = true;
                }
            }
            if (repondu) {
                h.clique(question, Bouton_A(question, 1));
                ++reponses;
            } else {
                h.clique(question, Bouton_A(question, 2 * Nb_Boutons_Question(m) - 1));
                ++passes;
            }
        }
        qInfo("%s: %d answers, %d passes, %d species in the lead", qPrintable(item), reponses, passes, int(m.Nb_Esp_Max));
        QVERIFY(reponses >= 2);
        // The item leads at 100 % (beside any item the answers cannot tell from it).
        int rang = -1;
        for (int r = 0; r < m.Nb_Esp_Max && rang < 0; ++r)
            if (m.Classement[1][static_cast<std::size_t>(r)] == s)
                rang = r;
        QVERIFY2(rang >= 0, "the item is not among the species in the lead");
        QCOMPARE(m.Pourcent_Esp[static_cast<std::size_t>(rang)], std::int64_t{100});
        h.capture(QStringLiteral("identified"));
        h.window->findChild<QAction *>(QStringLiteral("mnuViewResults"))->trigger();
        QTest::qWait(500);
        h.capture(QStringLiteral("results"));
    }

    // The help page of a question with notes and pictures, as the help window shows it.
    void theHelpOfAGrassQuestionShowsItsNotesAndPicture()
    {
        if (!std::filesystem::exists((jeuDelta("grass-genera") + QStringLiteral("/specs")).toStdString()))
            QSKIP("the DELTA datasets are not in " TARVENKO_DELTA_SAMPLES);
        CleDelta h("grass-genera");
        // A key without a drawing lists its questions in the drawing's place from the start.
        auto *liste = h.window->findChild<ListeQuestionsView *>(QStringLiteral("Liste_Questions"));
        QVERIFY(liste && liste->isVisible());
        auto *aide = h.child<QToolButton>("Aide_Question");
        // Character 3 has neither notes nor pictures; character 6 has both (nod01.gif).
        QVERIFY(liste->choisitQuestion("C4"));
        QVERIFY(!aide->isVisible());
        QVERIFY(liste->choisitQuestion("C6"));
        QVERIFY(aide->isVisible());
        h.capture(QStringLiteral("list"));
        QTest::mouseClick(aide, Qt::LeftButton);
        auto *texte = h.window->findChild<QTextBrowser *>(QStringLiteral("Texte_Aide"));
        QVERIFY(texte && texte->window()->isVisible());
        QCOMPARE(texte->source().fileName(), QStringLiteral("c0006_en.html"));
        QVERIFY(texte->toHtml().contains(QStringLiteral("nod01.gif")));
        QVERIFY(!texte->document()->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("nod01.gif"))).isNull());
        h.capture(QStringLiteral("help"), texte->window());
    }
};

QTEST_MAIN(IdentificationDeltaTest)
#include "identification_delta_test.moc"
