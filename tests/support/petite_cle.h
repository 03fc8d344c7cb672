#pragma once

#include <QAction>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <filesystem>
#include <memory>
#include <optional>

#include "knowledge/key_model.h"
#include "knowledge/palette.h"
#include "platform/qt_text.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"
#include "shell/contexte.h"
#include "shell/frm_main.h"
#include "support/fenetre_test.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "tools/kbbuilder/kb_builder.h"
#include "tools/wmf/wmf_writer.h"
#include "views/barres.h"
#include "views/pic_choix.h"
#include "views/robot_view.h"

namespace tarvenko::test {

using tools::WmfRect;
using tools::WmfWriter;

inline constexpr std::uint32_t kVert = 0x0030A030;  // COLORREF: the crown, which opens FEUILLE
inline constexpr std::uint32_t kBrun = 0x00204080;  // the trunk, which opens ECORCE

// A drawing of a crown (left two thirds) and a trunk (right third), in the 2400 x 1800 space.
inline void writeDrawing(const std::string &path)
{
    WmfWriter w;
    w.setWindowOrg(0, 0).setWindowExt(2400, 1800);
    w.selectObject(w.createPen(wmf::PS_NULL, 0, 0));
    w.selectObject(w.createBrush(wmf::BS_SOLID, kVert));
    w.rectangle(WmfRect{0, 0, 1600, 1800});
    w.selectObject(w.createBrush(wmf::BS_SOLID, kBrun));
    w.rectangle(WmfRect{1600, 0, 2400, 1800});
    w.save(path);
}

// A question picture: a grid of cells in grey.
inline void writeGrid(const std::string &path)
{
    WmfWriter w;
    w.setWindowOrg(0, 0).setWindowExt(1000, 500);
    w.selectObject(w.createBrush(wmf::BS_SOLID, 0x00E0E0E0));
    w.rectangle(WmfRect{10, 10, 490, 490});
    w.rectangle(WmfRect{510, 10, 990, 490});
    w.save(path);
}

// A main window on a small key in a temporary folder: three species, leaf type and bark, a
// drawing of a crown and a trunk whose colours open those questions, a zone over the lower left
// corner, the two bars. Settings of both scopes are temporary, dialogs scripted, and the end of
// the program is only recorded.
struct PetiteCle : FenetreTest {
    PetiteCle()
    {
        namespace fs = std::filesystem;
        for (const char *folder : {"data", "robot/00", "descripteurs"})
            fs::create_directories(root.path() / folder);
        QSettings machine(QSettings::IniFormat, QSettings::SystemScope, QStringLiteral("Tarvenko"), QStringLiteral("Tarvenko"));
        machine.setValue(QStringLiteral("Logiciel/Data"), qs(root.dossier() + "data/"));
        machine.setValue(QStringLiteral("Logiciel/Base"), QStringLiteral("Tarvenko.db"));
        machine.setValue(QStringLiteral("Logiciel/Robot"), qs(root.dossier() + "robot/"));
        machine.setValue(QStringLiteral("Logiciel/Descripteurs"), qs(root.dossier() + "descripteurs/"));
        machine.setValue(QStringLiteral("Options/Curseur"), QStringLiteral("True"));
        machine.sync();
        writeDrawing(root.dossier() + "robot/00/arbre.wmf");
        writeGrid(root.dossier() + "descripteurs/feuille.wmf");
        writeGrid(root.dossier() + "descripteurs/ecorce.wmf");
        // The palette as the colour chart would give it.
        ctx.echantillonnePalette = [](KeyModel &m) {
            const std::int32_t colours[] = {static_cast<std::int32_t>(kVert), static_cast<std::int32_t>(kBrun)};
            Echantillonne_Palette(m, 200, 10, [&](int x, int) { return colours[x / 100]; });
        };
    }

    // Three species, leaves and bark; a zone over the lower left corner opens the bark question.
    tools::KbBuilder key()
    {
        tools::KbBuilder kb(root.dossier() + "data/");
        kb.espece("Quercus robur", "FAGACEAE", "QUERO").espece("Fagus sylvatica", "FAGACEAE", "FAGSY")
            .espece("Pinus sylvestris", "PINACEAE", "PINSY");
        kb.objet({.objet = "FEUILLE", .etats = {"LARGE", "AIGUILLE"}, .tips = {"Broad", "Needle"}, .lignes = 1,
                  .colonnes = 2, .cadre = 0, .tipText = "Leaf type", .popup = "feuille.wmf"});
        kb.objet({.objet = "ECORCE", .etats = {"LISSE", "CREVASSEE"}, .tips = {"Smooth", "Furrowed"}, .lignes = 1,
                  .colonnes = 2, .cadre = 1, .tipText = "Bark", .popup = "ecorce.wmf"});
        kb.a("Quercus robur", "LARGE").a("Quercus robur", "CREVASSEE");
        kb.a("Fagus sylvatica", "LARGE").a("Fagus sylvatica", "LISSE");
        kb.a("Pinus sylvestris", "AIGUILLE").a("Pinus sylvestris", "CREVASSEE");
        kb.hierarchie(0, "arbre.wmf", {});
        kb.couleur("FEUILLE").couleur("ECORCE");
        kb.clicZone("ECORCE", 0, false, 0, 600, 1200, 1800, {});
        kb.butDeter("Leaf", "leaf.ico", "Leaf type", "FEUILLE")
            .butDeter("Bark", "bark.ico", "Bark", "ECORCE")
            .butDeter("Search", "search.ico", "Propose a question", "Search")
            .butDeter("Results", "results.ico", "Results", "Results");
        kb.butQuest("OK", "ok.ico", "Validate").butQuest("Back", "back.ico", "Leave").butQuest("Pass", "pass.ico", "Pass");
        return kb;
    }

    // The small key and the height, answered with a number, whose ranges keep the three species
    // apart: the search asks it before the leaf type and the bark.
    tools::KbBuilder keyWithHeight()
    {
        tools::KbBuilder kb = key();
        kb.numerique({.objet = "HAUTEUR", .noms = {"Height", "Altura", "Hauteur"}, .unite = "m"});
        kb.plage("HAUTEUR", "Quercus robur", 30, 40)
            .plage("HAUTEUR", "Fagus sylvatica", 15, 25)
            .plage("HAUTEUR", "Pinus sylvestris", 1, 10);
        return kb;
    }

    QToolBar *bar(const char *name) const { return child<QToolBar>(name); }
    QAction *menu(const char *name) const { return child<QAction>(name); }
    QAction *saveButton() const
    {
        for (QAction *a : bar("tbToolBar")->actions())
            if (a->property("Key").toString() == QLatin1String("Save"))
                return a;
        return nullptr;
    }
    void clickButton(const char *barName, int position)
    {
        QToolBar *b = bar(barName);
        QWidget *button = b->widgetForAction(Bouton_A(b, position));
        QVERIFY(button && button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // A click at a point of the drawing given in the 2400 x 1800 reference space.
    void clickDrawing(int x, int y, Qt::MouseButton button = Qt::LeftButton)
    {
        auto *robot = child<RobotView>("Robot");
        const QPoint p(x * robot->width() / 2400, y * robot->height() / 1800);
        QTest::mouseClick(robot, button, {}, p);
    }
    void clickCell(int k, Qt::MouseButton button = Qt::LeftButton)
    {
        auto *grid = child<PicChoixView>("Pic_Choix");
        // The grid's own layout: a drawn grid may not have the question's rows and columns.
        const int columns = grid->grille().colonnes;
        const int rows = grid->grille().lignes;
        const int w = grid->width() / columns, h = grid->height() / rows;
        QTest::mouseClick(grid, button, {}, QPoint((k % columns) * w + w / 2, (k / columns) * h + h / 2));
    }
    // Answers a question through the window: bar button 1 (leaf) or 3 (bark), then a state.
    void answer(int barButton, int cell)
    {
        clickButton("Barre_Deter", barButton);
        clickCell(cell);
        clickButton("Barre_Question", 1);
    }
    // The Search button of the determination bar, then `text` typed into the entry of the numeric
    // question it opens, then validate.
    void answerNumber(const QString &text)
    {
        clickButton("Barre_Deter", 5);
        auto *entry = child<QLineEdit>("Valeur_Num");
        QVERIFY(entry && entry->isVisible());
        entry->clear();
        QTest::keyClicks(entry, text);
        clickButton("Barre_Question", 1);
    }
    QString title() const { return qs(model.Titre_Fenetre); }
    QString file(const char *name) const { return qs(root.dossier()) + QLatin1String(name); }
};

} // namespace tarvenko::test
