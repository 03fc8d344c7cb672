#include <QAction>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "tests_vues.h"
#include "views/barres.h"

using namespace tarvenko;

namespace {

// n buttons with a picture each, as the bars' tables give them.
std::vector<BoutonBarre> boutons(int n, const QString &image)
{
    std::vector<BoutonBarre> out;
    for (int k = 1; k <= n; ++k)
        out.push_back({QStringLiteral("Button %1").arg(k), image, QStringLiteral("Tip %1").arg(k), QStringLiteral("KEY%1").arg(k)});
    return out;
}

void supprimeLesObjetsEnAttente() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

} // namespace

// A bar is rebuilt at every display of contradictions and every return from it: each rebuild
// leaves the new buttons and nothing of the old ones.
class BarresTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { QVERIFY(m_dossier.isValid()); }

    void rebuildingKeepsOnlyTheNewButtons_data()
    {
        QTest::addColumn<int>("avant");
        QTest::addColumn<int>("apres");
        QTest::newRow("the same buttons again") << 4 << 4;
        QTest::newRow("fewer buttons") << 4 << 1;
        QTest::newRow("no button left") << 3 << 0;
        QTest::newRow("from none") << 0 << 2;
    }
    void rebuildingKeepsOnlyTheNewButtons()
    {
        QFETCH(int, avant);
        QFETCH(int, apres);
        QToolBar vide; // what a bar holds of its own (its layout, its menu action ...)
        const qsizetype enfantsDeBase = vide.children().size();
        const qsizetype actionsDeBase = vide.findChildren<QAction *>(Qt::FindDirectChildrenOnly).size();

        QToolBar barre;
        barre.show();
        Remplit_Barre(&barre, boutons(avant, image()));
        for (int fois = 0; fois < 10; ++fois)
            Remplit_Barre(&barre, boutons(apres, image()));
        supprimeLesObjetsEnAttente();
        QCOMPARE(barre.actions().size(), 2 * apres);
        QCOMPARE(barre.findChildren<QAction *>(Qt::FindDirectChildrenOnly).size(), actionsDeBase + 2 * apres);
        // Each action has its one button or separator on the bar, besides the bar's own children.
        QCOMPARE(barre.children().size(), enfantsDeBase + 4 * apres);
        for (int p = 1; p <= 2 * apres; ++p)
            QCOMPARE(Bouton_A(&barre, p)->isSeparator(), p % 2 == 0);
        if (apres > 0) {
            QVERIFY(!Bouton_A(&barre, 1)->icon().isNull());
            QCOMPARE(Bouton_A(&barre, 2 * apres - 1)->property("tag").toString(), QStringLiteral("KEY%1").arg(apres));
        }
    }

    void aBarRebuiltByItsOwnButtonDoesNotPullItFromUnderTheClick()
    {
        // A determination button leads to the results view, which rebuilds the bar it belongs to.
        QToolBar barre;
        barre.show();
        const qsizetype actionsDeBase = barre.findChildren<QAction *>(Qt::FindDirectChildrenOnly).size();
        Remplit_Barre(&barre, boutons(3, image()));
        int clics = 0;
        connect(&barre, &QToolBar::actionTriggered, this, [&](QAction *) {
            ++clics;
            Remplit_Barre(&barre, boutons(3, image()));
        });
        for (int fois = 0; fois < 3; ++fois) {
            auto *bouton = qobject_cast<QToolButton *>(barre.widgetForAction(Bouton_A(&barre, 3)));
            QVERIFY(bouton);
            QTest::mouseClick(bouton, Qt::LeftButton);
            supprimeLesObjetsEnAttente();
        }
        QCOMPARE(clics, 3);
        QCOMPARE(barre.findChildren<QAction *>(Qt::FindDirectChildrenOnly).size(), actionsDeBase + 6);
    }

    void actionsTheBarDoesNotOwnAreLeftAlone()
    {
        QToolBar barre;
        QAction autre(QStringLiteral("shared"));
        barre.addAction(&autre);
        Remplit_Barre(&barre, boutons(2, image()));
        supprimeLesObjetsEnAttente();
        QCOMPARE(autre.text(), QStringLiteral("shared")); // still there to be used elsewhere
        QCOMPARE(barre.actions().size(), 4);
    }

private:
    QString image()
    {
        const QString chemin = m_dossier.filePath(QStringLiteral("bouton.png"));
        if (!QFile::exists(chemin)) {
            QImage picture(40, 40, QImage::Format_RGB32);
            picture.fill(Qt::darkGreen);
            picture.save(chemin);
        }
        return chemin;
    }

    QTemporaryDir m_dossier;
};

std::unique_ptr<QObject> tests_vues::barres() { return std::make_unique<BarresTest>(); }

#include "barres_test.moc"
