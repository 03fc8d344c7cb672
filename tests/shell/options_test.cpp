// The options dialog, alone and as the View menu opens it over the main window.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "knowledge/key_model.h"
#include "platform/qt_text.h"
#include "resources/string_table.h"
#include "shell/frm_main.h"
#include "shell/frm_options.h"
#include "shell/localisation.h"
#include "shell/registre.h"
#include "support/petite_cle.h"
#include "views/robot_view.h"
#include "views/vue_liste_especes.h"

using namespace tarvenko;

namespace {

void ecris(const std::filesystem::path &path, const char *text)
{
    std::filesystem::create_directories(path.parent_path());
    QFile f(qs(path.string()));
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", path.c_str());
    f.write(text);
}

// The small key with its species pages on the disk.
struct Harness : test::PetiteCle {
    Harness()
    {
        machine(QStringLiteral("Options/Distribution"), QStringLiteral("hd"));
        machine(QStringLiteral("Documents/Adresse"), qs(root.dossier() + "documents/"));
        for (const char *code : {"quero", "fagsy", "pinsy"}) {
            const std::string name = std::string(code) + "_en.html";
            ecris(root.path() / "documents" / std::string(1, code[0]) / code / name, "<html><body>page</body></html>");
        }
        ecris(root.path() / "data/error_en.html", "<html><body>no page</body></html>");
        key().ecrit();
    }

    // Runs the View menu's Options over the main window; `action` works the modal dialog and
    // should close it (it is cancelled otherwise).
    void options(const std::function<void(frmOptions &)> &action)
    {
        bool ran = false;
        QTimer::singleShot(0, window.get(), [&] {
            auto *dialog = window->findChild<frmOptions *>();
            if (!dialog)
                return;
            action(*dialog);
            if (dialog->isVisible())
                dialog->reject();
            ran = true;
        });
        menu("mnuViewOptions")->trigger();
        QVERIFY(ran);
        // What the window does once the dialog has gone (bars rebuilt, their old buttons
        // deleted later) is done before the test goes on, as the event loop would.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        QVERIFY(!window->findChild<frmOptions *>());
    }

    // Leaf broad and bark smooth: Fagus 100 %, Quercus 50 %, Pinus 0 %.
    void answerBroadAndSmooth()
    {
        answer(1, 0);
        answer(3, 0);
    }

    // Opens the window, answers, shows the results and opens the second species' page (Quercus).
    void showSecondSpecies()
    {
        open();
        answerBroadAndSmooth();
        QSignalSpy loads(web(), &QWebEngineView::loadFinished);
        menu("mnuViewResults")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!loads.isEmpty(), 10000);
        clickLine(1);
        QTRY_COMPARE_WITH_TIMEOUT(web()->url(), page("documents/q/quero/quero_en.html"), 10000);
    }

    QString stored(const char *key) const
    {
        QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tarvenko"), QStringLiteral("Tarvenko"));
        s.setFallbacksEnabled(false);
        return s.value(QLatin1String(key), QStringLiteral("absent")).toString();
    }
    QWebEngineView *web() const { return child<QWebEngineView>("WebTexte"); }
    QUrl page(const char *relative) const { return QUrl::fromLocalFile(file(relative)); }
    // Makes line `row` of the species list the current one, as a click on it does.
    void clickLine(int row)
    {
        auto *list = child<QAbstractItemView>("Liste_Esp");
        list->setCurrentIndex(list->model()->index(row, 0));
    }
};

template <typename T>
T *in(const frmOptions &dialog, const char *name)
{
    T *found = dialog.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no %s in the options", name);
    return found;
}

// A click near the left end: a radio button or check box reacts only over its mark and text.
void click(const frmOptions &dialog, const char *name)
{
    auto *button = in<QAbstractButton>(dialog, name);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(std::min(8, button->width() / 2), button->height() / 2));
}

const QStringList kToutes = {QStringLiteral(" 100% - Fagus sylvatica"), QStringLiteral(" 50% - Quercus robur"),
                             QStringLiteral(" 0% - Pinus sylvestris")};

// Every text a window shows, and its font, as a sorted list: two windows that read the same give
// the same list.
QStringList textesAffiches(const QWidget *fenetre)
{
    QStringList out{fenetre->windowTitle(), fenetre->font().toString()};
    for (const QObject *o : fenetre->findChildren<QObject *>()) {
        const QString nom = o->metaObject()->className() + QLatin1Char(' ') + o->objectName() + QStringLiteral(": ");
        if (const auto *a = qobject_cast<const QAction *>(o))
            out << nom + a->text() + QStringLiteral(" | ") + a->toolTip();
        if (const auto *menu = qobject_cast<const QMenu *>(o))
            out << nom + menu->title();
        if (const auto *w = qobject_cast<const QWidget *>(o))
            out << nom + w->toolTip() + QStringLiteral(" | ") + w->accessibleName() + QStringLiteral(" | ") + w->font().toString();
        if (const auto *l = qobject_cast<const QLabel *>(o))
            out << nom + l->text();
        if (const auto *b = qobject_cast<const QAbstractButton *>(o))
            out << nom + b->text();
        if (const auto *g = qobject_cast<const QGroupBox *>(o))
            out << nom + g->title();
        if (const auto *t = qobject_cast<const QTabWidget *>(o)) {
            for (int i = 0; i < t->count(); ++i)
                out << nom + t->tabText(i) + QStringLiteral(" | ") + t->tabToolTip(i);
        }
        if (const auto *arbre = qobject_cast<const QTreeWidget *>(o)) {
            for (int i = 0; i < arbre->topLevelItemCount(); ++i)
                out << nom + arbre->topLevelItem(i)->text(0);
        }
    }
    out.sort();
    return out;
}

} // namespace

class OptionsTest : public QObject {
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private Q_SLOTS:
    void aThresholdListsOnlyTheSpeciesReachingIt()
    {
        Harness h;
        h.open();
        h.answerBroadAndSmooth();
        QCOMPARE(h.lines(), kToutes);
        const QString legende = h.child<QLabel>("Legende")->text();

        h.options([&](frmOptions &d) {
            // Every species listed: the second choice, the slider at rest.
            QVERIFY(in<QRadioButton>(d, "Option2")->isChecked());
            QVERIFY(!in<QSlider>(d, "Reglage_Valeur")->isEnabled());
            QCOMPARE(in<QLabel>(d, "Label1")->text(), QStringLiteral(" 70 %"));
            click(d, "Option1");
            QVERIFY(in<QSlider>(d, "Reglage_Valeur")->isEnabled());
            in<QSlider>(d, "Reglage_Valeur")->setValue(50);
            QCOMPARE(in<QLabel>(d, "Label1")->text(), QStringLiteral(" 50 %"));
            click(d, "cmdOK");
        });
        QCOMPARE(h.lines(), kToutes.mid(0, 2));
        QCOMPARE(h.model.Seuil_Affichage, std::int16_t{50});
        QCOMPARE(h.stored("Options/Valeur"), QStringLiteral("50"));
        // The legend keeps what the last scoring counted.
        QCOMPARE(h.child<QLabel>("Legende")->text(), legende);

        // Reopened, the dialog shows the threshold on its slider.
        h.options([&](frmOptions &d) {
            QVERIFY(in<QRadioButton>(d, "Option1")->isChecked());
            QVERIFY(in<QSlider>(d, "Reglage_Valeur")->isEnabled());
            QCOMPARE(in<QSlider>(d, "Reglage_Valeur")->value(), 50);
            QCOMPARE(in<QLabel>(d, "Label1")->text(), QStringLiteral(" 50 %"));
            in<QSlider>(d, "Reglage_Valeur")->setValue(51);
            click(d, "cmdOK");
        });
        QCOMPARE(h.lines(), kToutes.mid(0, 1));
    }

    void listingAllSpeciesResetsTheSliderAndStoresZero()
    {
        Harness h;
        h.user(QStringLiteral("Options/Valeur"), QStringLiteral("40"));
        h.open();
        h.answerBroadAndSmooth();
        QCOMPARE(h.lines(), kToutes.mid(0, 2));

        h.options([&](frmOptions &d) {
            auto *slider = in<QSlider>(d, "Reglage_Valeur");
            QCOMPARE(slider->value(), 40);
            click(d, "Option2");
            QCOMPARE(slider->value(), 70);
            QVERIFY(!slider->isEnabled());
            QCOMPARE(in<QLabel>(d, "Label1")->text(), QStringLiteral(" 70 %"));
            click(d, "cmdApply");
            // Applied but still open.
            QVERIFY(d.isVisible());
            QCOMPARE(h.model.Seuil_Affichage, std::int16_t{0});
            QCOMPARE(h.stored("Options/Valeur"), QStringLiteral("0"));
            click(d, "cmdCancel");
        });
        // Cancel after Apply: the applied threshold stands, and the list follows it.
        QCOMPARE(h.lines(), kToutes);
    }

    void theListAndThePageStayWhenTheThresholdDoesNot()
    {
        Harness h;
        // The second species is current: a list opened again would show the first one.
        h.showSecondSpecies();

        // Everything else may change: the cursor, the language.
        h.options([&](frmOptions &d) {
            click(d, "Check1");
            click(d, "Option4");
            click(d, "cmdOK");
        });
        QVERIFY(!h.model.Curseur_Dynamique);
        QCOMPARE(h.lines(), kToutes);
        QCOMPARE(qs(h.model.Code_Page), QStringLiteral("QUERO"));
        QCOMPARE(h.web()->url(), h.page("documents/q/quero/quero_en.html"));
    }

    void aNewThresholdOpensTheFirstSpeciesOfTheVisibleList()
    {
        Harness h;
        // Another species is current when the dialog opens.
        h.showSecondSpecies();

        h.options([&](frmOptions &d) {
            click(d, "Option1");
            in<QSlider>(d, "Reglage_Valeur")->setValue(90);
            click(d, "cmdOK");
        });
        QCOMPARE(h.lines(), kToutes.mid(0, 1));
        QCOMPARE(qs(h.model.Code_Page), QStringLiteral("FAGSY"));
        QTRY_COMPARE_WITH_TIMEOUT(h.web()->url(), h.page("documents/f/fagsy/fagsy_en.html"), 10000);
        QWidget *focus = h.window->focusWidget();
        QVERIFY(focus == h.web() || h.web()->isAncestorOf(focus) || focus == h.web()->focusProxy());
    }

    void aNewFolderServesTheNextPage_data()
    {
        QTest::addColumn<QString>("ending"); // what the typed folder ends with
        QTest::newRow("no separator") << "";
        QTest::newRow("a Windows separator") << "\\";
    }
    void aNewFolderServesTheNextPage()
    {
        QFETCH(QString, ending);
        Harness h;
        ecris(h.root.path() / "autres/q/quero/quero_en.html", "<html><body>other page</body></html>");
        h.open();
        h.answerBroadAndSmooth();
        QSignalSpy loads(h.web(), &QWebEngineView::loadFinished);
        h.menu("mnuViewResults")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!loads.isEmpty(), 10000);

        h.options([&](frmOptions &d) {
            in<QLineEdit>(d, "hdtext")->setText(h.file("autres") + ending);
            click(d, "cmdOK");
        });
        h.clickLine(1);
        QTRY_COMPARE_WITH_TIMEOUT(h.web()->url(), h.page("autres/q/quero/quero_en.html"), 10000);
    }

    void frenchAtOnceButStoredOnlyByApply()
    {
        Harness h;
        h.open();
        h.options([&](frmOptions &d) {
            QVERIFY(in<QRadioButton>(d, "Option3")->isChecked());
            click(d, "Option5");
            QCOMPARE(h.model.Num_Langue, std::int16_t{2});
            click(d, "cmdCancel");
        });
        // French for the rest of the run, the saved language at the next start.
        QCOMPARE(h.model.Num_Langue, std::int16_t{2});
        QCOMPARE(h.stored("Options/Langue"), QStringLiteral("absent"));
        QCOMPARE(int(Langue_Demarrage(h.settings, QLocale(QLocale::English))), 0);

        // Messages speak French at once, and so does the window, which follows the language in use.
        h.dialogs.reponses = {ReponseMessage::No};
        QVERIFY(!h.window->close());
        QCOMPARE(h.dialogs.textes(), QStringList{qs(*Texte(2, 1071))});
        QCOMPARE(h.menu("mnuFileSave")->text(), qs(*Texte(2, 1003)));

        // The dialog opened again is in French, with French selected; OK stores it.
        h.options([&](frmOptions &d) {
            QCOMPARE(d.windowTitle(), qs(*Texte(2, 1037)));
            QCOMPARE(in<QTabWidget>(d, "tbsOptions")->tabText(1), qs(*Texte(2, 1101)));
            QCOMPARE(in<QAbstractButton>(d, "cmdApply")->text(), qs(*Texte(2, 1042)));
            QVERIFY(in<QRadioButton>(d, "Option5")->isChecked());
            click(d, "cmdOK");
        });
        QCOMPARE(h.stored("Options/Langue"), QStringLiteral("2"));
        QCOMPARE(int(Langue_Demarrage(h.settings, QLocale(QLocale::English))), 2);
    }

    void everyCaptionIsInTheLanguage_data()
    {
        QTest::addColumn<int>("numero");
        QTest::newRow("English") << 0;
        QTest::newRow("Spanish") << 1;
        QTest::newRow("French") << 2;
    }
    void everyCaptionIsInTheLanguage()
    {
        QFETCH(int, numero);
        const auto langue = static_cast<std::int16_t>(numero);
        Harness h;
        h.model.Num_Langue = langue;
        frmOptions d(h.ctx);
        d.Form_Load();
        QCOMPARE(d.windowTitle(), qs(*Texte(langue, 1037)));
        auto *tabs = in<QTabWidget>(d, "tbsOptions");
        for (int i = 0; i < tabs->count(); ++i)
            QCOMPARE(tabs->tabText(i), qs(*Texte(langue, 1100 + i)));
        const std::pair<const char *, int> captions[] = {
            {"Option1", 1105}, {"Option2", 1106}, {"Check1", 1107}, {"Option3", 1109}, {"Option4", 1110},
            {"Option5", 1111}, {"Option6", 1113}, {"Option7", 1114}, {"cmdApply", 1042}, {"cmdCancel", 1043},
            {"cmdOK", 1044}, {"Check2", 1196}};
        for (const auto &[name, n] : captions)
            QCOMPARE(in<QAbstractButton>(d, name)->text(), qs(*Texte(langue, n)));
        const std::pair<const char *, int> frames[] = {
            {"Frame2", 1103}, {"Frame3", 1104}, {"Frame4", 1108}, {"Frame5", 1112}, {"Frame7", 1195}};
        for (const auto &[name, n] : frames)
            QCOMPARE(in<QGroupBox>(d, name)->title(), qs(*Texte(langue, n)));
        QCOMPARE(in<QAbstractButton>(d, "Command1")->text(), QStringLiteral("..."));
    }

    void theDocumentsAddressEndsWithItsSeparator_data()
    {
        QTest::addColumn<bool>("web");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("web address without slash")
            << true << "http://example.org/arbres" << "http://example.org/arbres/";
        QTest::newRow("web address with slash") << true << "http://example.org/arbres/" << "http://example.org/arbres/";
        QTest::newRow("folder without separator") << false << "/srv/arbres" << "/srv/arbres/";
        QTest::newRow("folder with separator") << false << "/srv/arbres/" << "/srv/arbres/";
        QTest::newRow("folder written the Windows way") << false << "D:\\Arbres\\" << "D:\\Arbres\\";
    }
    void theDocumentsAddressEndsWithItsSeparator()
    {
        QFETCH(bool, web);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        Harness h;
        h.model.Distribution = web ? "hd" : "http"; // the other one: the choice is switched
        h.model.Adresse_Documents = "somewhere";
        frmOptions d(h.ctx);
        d.Form_Load();
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        in<QTabWidget>(d, "tbsOptions")->setCurrentIndex(2);
        auto *http = in<QLineEdit>(d, "httptext");
        auto *hd = in<QLineEdit>(d, "hdtext");
        QCOMPARE((web ? hd : http)->text(), QStringLiteral("somewhere"));
        QVERIFY(!(web ? http : hd)->isEnabled());
        QVERIFY((web ? http : hd)->text().isEmpty());

        click(d, web ? "Option6" : "Option7");
        QVERIFY((web ? http : hd)->isEnabled());
        QVERIFY(!(web ? hd : http)->isEnabled());
        (web ? http : hd)->setText(typed);
        click(d, "cmdApply");
        QCOMPARE((web ? http : hd)->text(), stored);
        QCOMPARE(h.stored("Documents/Adresse"), stored);
        QCOMPARE(h.stored("Options/Distribution"), web ? QStringLiteral("http") : QStringLiteral("hd"));
        QCOMPARE(qs(h.model.Adresse_Documents), stored);
        QCOMPARE(qs(h.model.Distribution), web ? QStringLiteral("http") : QStringLiteral("hd"));
        QCOMPARE(h.stored("Options/Curseur"), QStringLiteral("False"));
        QCOMPARE(h.stored("Options/Langue"), QStringLiteral("0"));
    }

    void anEmptyAddressIsRefused_data()
    {
        QTest::addColumn<bool>("web");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("langue");
        QTest::newRow("empty web address") << true << "" << 0;
        QTest::newRow("blank web address, Spanish") << true << "   " << 1;
        QTest::newRow("empty folder, French") << false << "" << 2;
    }
    void anEmptyAddressIsRefused()
    {
        QFETCH(bool, web);
        QFETCH(QString, typed);
        QFETCH(int, langue);
        Harness h;
        h.model.Num_Langue = static_cast<std::int16_t>(langue);
        h.model.Distribution = "hd";
        h.model.Adresse_Documents = "/srv/ancien/";
        h.model.Seuil_Affichage = 40;
        frmOptions d(h.ctx);
        d.Form_Load();
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        click(d, "Option2");
        in<QTabWidget>(d, "tbsOptions")->setCurrentIndex(2);
        if (web)
            click(d, "Option6");
        auto *box = in<QLineEdit>(d, web ? "httptext" : "hdtext");
        box->setText(typed);
        in<QTabWidget>(d, "tbsOptions")->setCurrentIndex(0);

        // OK says why and keeps the dialog open on the box to fill, with nothing applied.
        click(d, "cmdOK");
        QCOMPARE(h.dialogs.textes(), QStringList{qs(*Texte(static_cast<std::int16_t>(langue), 1079))});
        QVERIFY(d.isVisible());
        QCOMPARE(in<QTabWidget>(d, "tbsOptions")->currentIndex(), 2);
        QCOMPARE(d.focusWidget(), box);
        QCOMPARE(box->text(), typed);
        for (const char *key : {"Documents/Adresse", "Options/Distribution", "Options/Valeur", "Options/Curseur",
                                "Options/Langue"})
            QCOMPARE(h.stored(key), QStringLiteral("absent"));
        QCOMPARE(qs(h.model.Adresse_Documents), QStringLiteral("/srv/ancien/"));
        QCOMPARE(qs(h.model.Distribution), QStringLiteral("hd"));
        QCOMPARE(h.model.Seuil_Affichage, std::int16_t{40});

        // Filled in, it is applied.
        box->setText(QStringLiteral("www.example.org/flora"));
        click(d, "cmdApply");
        QCOMPARE(h.dialogs.messages.size(), std::size_t{1});
        QCOMPARE(h.stored("Documents/Adresse"), QStringLiteral("www.example.org/flora/"));
    }

    void theFolderButtonFillsThePath_data()
    {
        QTest::addColumn<QString>("chosen"); // empty: the browser is cancelled
        QTest::addColumn<QString>("shown");
        QTest::newRow("a folder") << "/srv/arbres" << "/srv/arbres/";
        QTest::newRow("the root") << "/" << "/";
        QTest::newRow("cancelled") << "" << "/srv/ancien/";
    }
    void theFolderButtonFillsThePath()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, shown);
        Harness h;
        h.model.Num_Langue = 1;
        h.model.Distribution = "hd";
        h.model.Adresse_Documents = "/srv/ancien/";
        frmOptions d(h.ctx);
        d.Form_Load();
        d.show();
        in<QTabWidget>(d, "tbsOptions")->setCurrentIndex(2);
        if (!chosen.isEmpty())
            h.dialogs.fichiers = {chosen};
        click(d, "Command1");
        QCOMPARE(h.dialogs.demandesFichier.size(), std::size_t{1});
        QCOMPARE(h.dialogs.demandesFichier[0].title, qs(*Texte(1, 1112)).trimmed());
        QCOMPARE(h.dialogs.demandesFichier[0].directory, QStringLiteral("/srv/ancien/"));
        QCOMPARE(in<QLineEdit>(d, "hdtext")->text(), shown);
        // Nothing is stored before Apply.
        QCOMPARE(h.stored("Documents/Adresse"), QStringLiteral("absent"));
    }

    void ctrlTabGoesRoundTheTabs_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("expected");
        const int ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier, alt = Qt::AltModifier;
        for (const char *focus : {"cmdOK", "page"}) {
            const QString f = QString::fromLatin1(focus);
            QTest::addRow("%s: Ctrl+Tab on the last", focus) << f << int(Qt::Key_Tab) << ctrl << 2 << 0;
            QTest::addRow("%s: Ctrl+Tab on the first", focus) << f << int(Qt::Key_Tab) << ctrl << 0 << 1;
            QTest::addRow("%s: Ctrl+Shift+Tab on the first", focus)
                << f << int(Qt::Key_Backtab) << (ctrl | shift) << 0 << 2;
            QTest::addRow("%s: Ctrl+Shift+Tab as Tab", focus) << f << int(Qt::Key_Tab) << (ctrl | shift) << 0 << 2;
            QTest::addRow("%s: Ctrl+Shift+Tab on the last", focus)
                << f << int(Qt::Key_Backtab) << (ctrl | shift) << 2 << 1;
            QTest::addRow("%s: Alt does not matter", focus) << f << int(Qt::Key_Tab) << (ctrl | alt) << 2 << 0;
        }
        QTest::newRow("Tab alone moves the focus only") << QStringLiteral("cmdOK") << int(Qt::Key_Tab) << 0 << 1 << 1;
    }
    void ctrlTabGoesRoundTheTabs()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, start);
        QFETCH(int, expected);
        Harness h;
        frmOptions d(h.ctx);
        d.Form_Load();
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        auto *tabs = in<QTabWidget>(d, "tbsOptions");
        tabs->setCurrentIndex(start);
        // Outside the tabs, or a control of the page shown.
        QWidget *target = focus == QLatin1String("cmdOK") ? in<QWidget>(d, "cmdOK")
                                                         : tabs->widget(start)->findChild<QAbstractButton *>();
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(tabs->currentIndex(), expected);
        // Only the page shown is enabled.
        for (int i = 0; i < tabs->count(); ++i)
            QCOMPARE(tabs->widget(i)->isEnabled(), i == expected);
    }

    void theToleranceIsStoredReadAtLoadAndReRanks()
    {
        Harness h;
        h.keyWithHeight().ecrit();
        h.user(QStringLiteral("Options/Tolerance"), QStringLiteral("12.5"));
        h.open();
        QCOMPARE(h.model.Tolerance_Num, 12.5);
        // 28 is within 12.5 % of the beech's 25, not within 5 %.
        h.answerNumber(QStringLiteral("28"));
        QCOMPARE(h.lines().value(0), QStringLiteral(" 100% - Fagus sylvatica"));
        h.dialogs.fichiers.push_back(h.file("ident.ryk"));
        h.menu("mnuFileSaveAs")->trigger();
        QVERIFY(!h.window->Modifie());

        h.options([&](frmOptions &d) {
            auto *spin = in<QSpinBox>(d, "Reglage_Tolerance");
            QCOMPARE(spin->value(), 13);
            click(d, "cmdApply");
            // A box left alone keeps the decimals.
            QCOMPARE(h.stored("Options/Tolerance"), QStringLiteral("12.5"));
            spin->setValue(5);
            click(d, "cmdOK");
        });
        QCOMPARE(h.model.Tolerance_Num, 5.0);
        QCOMPARE(h.stored("Options/Tolerance"), QStringLiteral("5"));
        QVERIFY(h.lines().value(0).startsWith(QStringLiteral(" 0%")));
        // The answers did not change: the identification is still the one saved.
        QVERIFY(!h.window->Modifie());
        QVERIFY(!h.saveButton()->isEnabled());
    }

    void aToleranceOfMismatchesHidesSpeciesAndIsStored()
    {
        Harness h;
        h.open();
        QCOMPARE(h.model.Ecarts_Toleres, std::int16_t{-1});
        h.answerBroadAndSmooth(); // Fagus 0 mismatches, Quercus 1, Pinus 2
        QCOMPARE(h.lines(), kToutes);
        auto *liste = h.child<VueListeEspeces>("Liste_Esp");
        QCOMPARE(liste->ecarts(0), 0);
        QCOMPARE(liste->ecarts(1), 1);
        QCOMPARE(liste->ecarts(2), 2);
        h.dialogs.fichiers.push_back(h.file("ident.ryk"));
        h.menu("mnuFileSaveAs")->trigger();
        QVERIFY(!h.window->Modifie());

        h.options([&](frmOptions &d) {
            // Off by default: no species hidden, the number out of reach.
            QVERIFY(!in<QCheckBox>(d, "Check2")->isChecked());
            QVERIFY(!in<QSpinBox>(d, "Reglage_Ecarts")->isEnabled());
            click(d, "Check2");
            QVERIFY(in<QSpinBox>(d, "Reglage_Ecarts")->isEnabled());
            in<QSpinBox>(d, "Reglage_Ecarts")->setValue(1);
            click(d, "cmdOK");
        });
        QCOMPARE(h.model.Ecarts_Toleres, std::int16_t{1});
        QCOMPARE(h.stored("Options/Ecarts"), QStringLiteral("1"));
        QCOMPARE(h.lines(), kToutes.mid(0, 2));
        QVERIFY2(h.child<QLabel>("Legende")->text().endsWith(QStringLiteral("(2 of 3 species kept)")),
                 qPrintable(h.child<QLabel>("Legende")->text()));
        // Ranking again is no change of the identification.
        QVERIFY(!h.window->Modifie());

        h.options([&](frmOptions &d) {
            QVERIFY(in<QCheckBox>(d, "Check2")->isChecked());
            QCOMPARE(in<QSpinBox>(d, "Reglage_Ecarts")->value(), 1);
            click(d, "Check2");
            click(d, "cmdOK");
        });
        QCOMPARE(h.model.Ecarts_Toleres, std::int16_t{-1});
        QCOMPARE(h.stored("Options/Ecarts"), QStringLiteral("-1"));
        QCOMPARE(h.lines(), kToutes);
    }

    void theStoredToleranceOfMismatchesIsReadAtLoad_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("tolerance");
        QTest::newRow("two") << QStringLiteral("2") << 2;
        QTest::newRow("zero") << QStringLiteral("0") << 0;
        QTest::newRow("off") << QStringLiteral("-1") << -1;
        QTest::newRow("below off") << QStringLiteral("-4") << -1;
        QTest::newRow("no number") << QStringLiteral("some") << -1;
    }
    void theStoredToleranceOfMismatchesIsReadAtLoad()
    {
        QFETCH(QString, stored);
        QFETCH(int, tolerance);
        Harness h;
        h.user(QStringLiteral("Options/Ecarts"), stored);
        h.open();
        QCOMPARE(int{h.model.Ecarts_Toleres}, tolerance);
    }

    // Needle leaves, then smooth bark: every species contradicts one answer at least.
    void anAnswerThatLeavesNoSpeciesOffersToRaiseTheTolerance_data()
    {
        QTest::addColumn<bool>("oui");
        QTest::newRow("raised") << true;
        QTest::newRow("declined") << false;
    }
    void anAnswerThatLeavesNoSpeciesOffersToRaiseTheTolerance()
    {
        QFETCH(bool, oui);
        Harness h;
        h.user(QStringLiteral("Options/Ecarts"), QStringLiteral("0"));
        h.open();
        h.answer(1, 1);
        QCOMPARE(h.lines(), QStringList{QStringLiteral(" 100% - Pinus sylvestris")});
        QVERIFY(h.dialogs.messages.empty());

        h.dialogs.reponses.push_back(oui ? ReponseMessage::Yes : ReponseMessage::No);
        h.answer(3, 0);
        QCOMPARE(h.dialogs.textes(), QStringList{QStringLiteral("No species has 0 mismatches or fewer. Raise the tolerance by one?")});
        QCOMPARE(h.dialogs.messages.back().buttons, BoutonsMessage::YesNo);
        const QString legende = h.child<QLabel>("Legende")->text();
        if (oui) {
            QCOMPARE(h.model.Ecarts_Toleres, std::int16_t{1});
            QCOMPARE(h.lines(), (QStringList{QStringLiteral(" 50% - Fagus sylvatica"), QStringLiteral(" 50% - Pinus sylvestris")}));
            QVERIFY2(legende.endsWith(QStringLiteral("(2 of 3 species kept)")), qPrintable(legende));
        } else {
            QCOMPARE(h.model.Ecarts_Toleres, std::int16_t{0});
            QVERIFY(h.lines().isEmpty());
            QVERIFY2(legende.endsWith(QStringLiteral("(0 of 3 species kept)")), qPrintable(legende));
        }
        // For this session only: the setting keeps its value.
        QCOMPARE(h.stored("Options/Ecarts"), QStringLiteral("0"));
        // The dialog shows the tolerance in force and, left alone, stores nothing.
        h.options([&](frmOptions &d) {
            QCOMPARE(in<QSpinBox>(d, "Reglage_Ecarts")->value(), oui ? 1 : 0);
            click(d, "cmdOK");
        });
        QCOMPARE(h.stored("Options/Ecarts"), QStringLiteral("0"));
        QCOMPARE(int{h.model.Ecarts_Toleres}, oui ? 1 : 0);
    }

    void aToleranceThatIsNoNumberKeepsTheDefault_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("text") << QStringLiteral("wide");
        QTest::newRow("negative") << QStringLiteral("-3");
    }

    void aToleranceThatIsNoNumberKeepsTheDefault()
    {
        QFETCH(QString, stored);
        Harness h;
        h.user(QStringLiteral("Options/Tolerance"), stored);
        h.open();
        QCOMPARE(h.model.Tolerance_Num, 10.0);
    }

    void anotherKeysDocumentsAreNotStoredForTheInstallations()
    {
        Harness h;
        h.open();
        tools::KbBuilder autre(h.root.dossier() + "autre/data/");
        autre.espece("Acer campestre", "SAPINDACEAE", "ACECA").objet({.objet = "FEUILLE", .etats = {"LOBEE"}});
        autre.ecrit();
        std::filesystem::create_directories(h.root.path() / "autre/documents");
        h.dialogs.fichiers.push_back(qs(h.root.dossier() + "autre"));
        h.menu("mnuFileOpenKey")->trigger();
        QCOMPARE(h.model.Adresse_Documents, h.root.dossier() + "autre/documents/");

        // Applying the options under it keeps its folder for this run only.
        h.options([&](frmOptions &d) {
            click(d, "cmdApply");
            click(d, "cmdCancel");
        });
        QCOMPARE(h.model.Adresse_Documents, h.root.dossier() + "autre/documents/");
        // Absent, or written as the settings' word for absent.
        for (const char *cle : {"Documents/Adresse", "Options/Distribution"})
            QVERIFY2(QStringList({QStringLiteral("absent"), QStringLiteral("Fin")}).contains(h.stored(cle)), cle);

        h.child<QAction>("mnuFileKey2")->trigger(); // the installation's key again
        QCOMPARE(h.model.Nb_Esp, std::int16_t{3});
        QCOMPARE(h.model.Adresse_Documents, h.root.dossier() + "documents/");
    }

    // Switching the language at run time

    void aDialogLocalisedAgainReadsAsOneLocalisedOnce_data()
    {
        QTest::addColumn<int>("avant");
        QTest::addColumn<int>("apres");
        QTest::newRow("English to French") << 0 << 2;
        QTest::newRow("French to English") << 2 << 0;
        QTest::newRow("French to Spanish") << 2 << 1;
        QTest::newRow("Spanish to French") << 1 << 2;
    }
    void aDialogLocalisedAgainReadsAsOneLocalisedOnce()
    {
        QFETCH(int, avant);
        QFETCH(int, apres);
        Harness h;
        h.model.Num_Langue = static_cast<std::int16_t>(apres);
        frmOptions attendu(h.ctx);
        attendu.Form_Load();
        h.model.Num_Langue = static_cast<std::int16_t>(avant);
        frmOptions d(h.ctx);
        d.Form_Load();
        QVERIFY(textesAffiches(&d) != textesAffiches(&attendu));
        Applique_Langue(&d, static_cast<std::int16_t>(apres));
        QCOMPARE(textesAffiches(&d), textesAffiches(&attendu));
    }

    void theWindowSwitchedReadsAsOneOpenedInTheLanguage_data()
    {
        QTest::addColumn<int>("avant");
        QTest::addColumn<int>("apres");
        QTest::addColumn<QString>("bouton");
        QTest::newRow("English to French") << 0 << 2 << "Option5";
        QTest::newRow("French to English") << 2 << 0 << "Option3";
        QTest::newRow("English to Spanish") << 0 << 1 << "Option4";
        QTest::newRow("Spanish to French") << 1 << 2 << "Option5";
    }
    void theWindowSwitchedReadsAsOneOpenedInTheLanguage()
    {
        QFETCH(int, avant);
        QFETCH(int, apres);
        QFETCH(QString, bouton);
        Harness h;
        // The species view once, so that the tree's roots are on show too.
        const auto parcours = [&h] {
            h.answerBroadAndSmooth();
            h.menu("mnuViewSpecies")->trigger();
            h.menu("mnuViewIdentification")->trigger();
        };
        h.model.Num_Langue = static_cast<std::int16_t>(apres);
        h.open();
        parcours();
        const QStringList attendu = textesAffiches(h.window.get());
        h.window.reset();

        h.model.Num_Langue = static_cast<std::int16_t>(avant);
        h.open();
        parcours();
        QVERIFY(textesAffiches(h.window.get()) != attendu);
        h.options([&](frmOptions &d) {
            click(d, bouton.toLatin1().constData());
            click(d, "cmdOK");
        });
        QCOMPARE(h.model.Num_Langue, static_cast<std::int16_t>(apres));
        QCOMPARE(textesAffiches(h.window.get()), attendu);
    }

    void theWindowSpeaksTheNewLanguageAtOnce()
    {
        Harness h;
        h.open();
        h.answer(1, 0);
        const QStringList lignes = h.lines();
        h.options([&](frmOptions &d) {
            click(d, "Option5");
            click(d, "cmdOK");
        });
        QCOMPARE(h.menu("mnuFileSave")->text(), qs(*Texte(2, 1003)));
        QCOMPARE(h.child<QMenu>("mnuFile")->title(), qs(*Texte(2, 1000)));
        QVERIFY(h.child<QLabel>("Legende")->text().contains(qs(*Texte(2, 1500))));
        QCOMPARE(h.menu("mnuFileSave")->isEnabled(), false);
        // Answers and ranking are untouched, and the identification is no more modified than it was.
        QCOMPARE(h.lines(), lignes);
        QVERIFY(h.model.Modifie);
    }

    void aQuestionOnShowStaysOpenWithItsPick()
    {
        Harness h;
        h.open();
        h.clickButton("Barre_Deter", 1);
        h.clickCell(1);
        QCOMPARE(h.model.Descripteur_Courant.Selection, std::int16_t{1});
        h.options([&](frmOptions &d) {
            click(d, "Option4");
            click(d, "cmdOK");
        });
        QVERIFY(h.child<QWidget>("Pic_Choix")->isVisible());
        QVERIFY(h.bar("Barre_Question")->isVisible());
        QVERIFY(!h.bar("Barre_Deter")->isVisible());
        QCOMPARE(h.model.Descripteur_Courant.Selection, std::int16_t{1});
        // Validated after the switch, the pick is the answer: needles leave the pine first.
        h.clickButton("Barre_Question", 1);
        QCOMPARE(h.lines().value(0), QStringLiteral(" 100% - Pinus sylvestris"));
    }

    void aNumberBeingTypedStaysInItsEntry()
    {
        Harness h;
        h.keyWithHeight().ecrit();
        h.open();
        h.clickButton("Barre_Deter", 5);
        auto *entry = h.child<QLineEdit>("Valeur_Num");
        QVERIFY(entry && entry->isVisible());
        QTest::keyClicks(entry, QStringLiteral("20,5"));
        h.options([&](frmOptions &d) {
            click(d, "Option5");
            click(d, "cmdOK");
        });
        entry = h.child<QLineEdit>("Valeur_Num");
        QVERIFY(entry->isVisible());
        QCOMPARE(entry->text(), QStringLiteral("20,5"));
        QCOMPARE(h.child<QLabel>("Nom_Num")->text(), QStringLiteral("Hauteur"));
        h.clickButton("Barre_Question", 1);
        QCOMPARE(h.lines().value(0), QStringLiteral(" 100% - Fagus sylvatica"));
    }

    void theSpeciesPageOpensAgainInTheNewLanguageWhereItExists()
    {
        Harness h;
        ecris(h.root.path() / "documents/q/quero/quero_fr.html", "<html><body>page fr</body></html>");
        h.showSecondSpecies();
        h.options([&](frmOptions &d) {
            click(d, "Option5");
            click(d, "cmdOK");
        });
        QTRY_COMPARE_WITH_TIMEOUT(h.web()->url(), h.page("documents/q/quero/quero_fr.html"), 10000);
        QCOMPARE(qs(h.model.Code_Page), QStringLiteral("QUERO"));
        // Spanish: the key has no Spanish page of the oak, the English one is shown.
        h.options([&](frmOptions &d) {
            click(d, "Option4");
            click(d, "cmdOK");
        });
        QTRY_COMPARE_WITH_TIMEOUT(h.web()->url(), h.page("documents/q/quero/quero_en.html"), 10000);
    }

    void theKeysOwnTextsFollowTheSwitch()
    {
        Harness h;
        tools::KbBuilder kb = h.key();
        kb.questionLangue("FEUILLE", "fr", "Type de feuille");
        kb.texteLangue("fr", "But_Deter", "1", "Caption", "Feuille");
        kb.texteLangue("fr", "But_Quest", "1", "TipText", "Valider");
        kb.ecrit();
        h.open();
        h.clickButton("Barre_Deter", 1);
        QCOMPARE(h.child<QLabel>("sbPanel1")->text(), QStringLiteral("Leaf type"));
        h.options([&](frmOptions &d) {
            click(d, "Option5");
            click(d, "cmdOK");
        });
        QCOMPARE(h.child<QLabel>("sbPanel1")->text(), QStringLiteral("Type de feuille"));
        QCOMPARE(Bouton_A(h.bar("Barre_Deter"), 1)->text(), QStringLiteral("Feuille"));
        QCOMPARE(Bouton_A(h.bar("Barre_Question"), 1)->toolTip(), QStringLiteral("Valider"));
        // Where the key has no French text, its own: the bark button, the question bar's captions.
        QCOMPARE(Bouton_A(h.bar("Barre_Deter"), 3)->text(), QStringLiteral("Bark"));
        QCOMPARE(Bouton_A(h.bar("Barre_Question"), 1)->text(), QStringLiteral("OK"));

        // And back.
        h.options([&](frmOptions &d) {
            click(d, "Option3");
            click(d, "cmdOK");
        });
        QCOMPARE(h.child<QLabel>("sbPanel1")->text(), QStringLiteral("Leaf type"));
        QCOMPARE(Bouton_A(h.bar("Barre_Deter"), 1)->text(), QStringLiteral("Leaf"));
    }

    void theDrawingShowsAndReadsItsPictureInTheNewLanguage()
    {
        Harness h;
        // In French the key's drawing is all trunk, whose colour opens the bark question.
        test::WmfWriter w;
        w.setWindowOrg(0, 0).setWindowExt(2400, 1800);
        w.selectObject(w.createPen(wmf::PS_NULL, 0, 0));
        w.selectObject(w.createBrush(wmf::BS_SOLID, test::kBrun));
        w.rectangle(test::WmfRect{0, 0, 2400, 1800});
        w.save(h.root.dossier() + "robot/00/arbre_fr.wmf");
        h.open();
        auto *robot = h.child<RobotView>("Robot");
        const int x = 800 * robot->width() / 2400, y = 600 * robot->height() / 1800; // the crown in English
        const auto montre = [&] { return robot->image().pixel(QPoint(x, y) * robot->image().devicePixelRatio()) & 0xFFFFFF; };
        QCOMPARE(robot->couleur(x, y), static_cast<std::int32_t>(test::kVert));
        QCOMPARE(montre(), 0x30A030u);

        h.options([&](frmOptions &d) {
            click(d, "Option5");
            click(d, "cmdOK");
        });
        QCOMPARE(robot->couleur(x, y), static_cast<std::int32_t>(test::kBrun));
        QCOMPARE(montre(), 0x804020u);
        h.clickDrawing(800, 600);
        QCOMPARE(qs(h.model.Descripteur_Courant.Objet), QStringLiteral("ECORCE"));
        h.clickButton("Barre_Question", 2);

        // Spanish: the key has no Spanish drawing, its own is shown again.
        h.options([&](frmOptions &d) {
            click(d, "Option4");
            click(d, "cmdOK");
        });
        QCOMPARE(robot->couleur(x, y), static_cast<std::int32_t>(test::kVert));
        QCOMPARE(montre(), 0x30A030u);
    }

    void theSameLanguageAgainChangesNothing()
    {
        Harness h;
        h.showSecondSpecies();
        QSignalSpy loads(h.web(), &QWebEngineView::loadStarted);
        h.options([&](frmOptions &d) {
            click(d, "Option3");
            click(d, "cmdOK");
        });
        QCOMPARE(h.web()->url(), h.page("documents/q/quero/quero_en.html"));
        QVERIFY(loads.isEmpty());
    }
};

QTEST_MAIN(OptionsTest)
#include "options_test.moc"
