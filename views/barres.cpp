#include "views/barres.h"

#include <QAction>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>

#include "knowledge/key_model.h"
#include "knowledge/file_lookup.h"
#include "platform/qt_text.h"

namespace tarvenko {

namespace {

template <typename Row>
BoutonBarre bouton(const KeyModel &m, const Row &row)
{
    BoutonBarre b;
    b.caption = qs(row.Caption.value_or(""));
    b.image = qs(resoutChemin(m.Chemin_Data + row.File.value_or("")));
    b.tip = qs(row.TipText.value_or(""));
    return b;
}

} // namespace

std::vector<BoutonBarre> Boutons_Barre(const KeyModel &m, bool deter)
{
    std::vector<BoutonBarre> out;
    const int count = deter ? m.Nb_But_Deter : m.Nb_But_Quest;
    for (int k = 1; k <= count; ++k) {
        if (deter) {
            const ButDeterRow *row = m.Base_Donnees.butDeter(k);
            if (!row)
                break;
            BoutonBarre b = bouton(m, *row);
            b.key = qs(row->Key.value_or(""));
            out.push_back(b);
        } else {
            const ButQuestRow *row = m.Base_Donnees.butQuest(k);
            if (!row)
                break;
            out.push_back(bouton(m, *row));
        }
    }
    return out;
}

void Remplit_Barre(QToolBar *barre, const std::vector<BoutonBarre> &boutons)
{
    // clear() only takes the actions off the bar: the ones it made go too, with their icons.
    // Later, since a bar may be rebuilt from the click of one of its own buttons.
    const QList<QAction *> anciennes = barre->actions();
    barre->clear();
    for (QAction *action : anciennes) {
        if (action->parent() == barre)
            action->deleteLater();
    }
    for (const BoutonBarre &b : boutons) {
        QAction *action = barre->addAction(b.caption);
        QImageReader reader(b.image);
        const QImage picture = reader.read();
        if (!picture.isNull())
            action->setIcon(QIcon(QPixmap::fromImage(picture)));
        action->setToolTip(b.tip);
        action->setProperty("tag", b.key);
        barre->addSeparator();
    }
}

void Boutons_Au_Clavier(QToolBar *barre)
{
    for (QAction *action : barre->actions()) {
        QWidget *button = barre->widgetForAction(action);
        if (action->isSeparator() || !button)
            continue;
        // A tool bar keeps its buttons out of the Tab chain; these bars are the only way to some
        // commands, so they join it.
        button->setFocusPolicy(Qt::TabFocus);
        QString nom = action->text();
        nom.remove(QLatin1Char('&'));
        button->setAccessibleName(nom.isEmpty() ? action->toolTip() : nom);
        button->setAccessibleDescription(action->toolTip());
    }
}

int Position_Bouton(const QToolBar *barre, const QAction *bouton)
{
    const qsizetype index = barre->actions().indexOf(const_cast<QAction *>(bouton));
    return index < 0 ? 0 : static_cast<int>(index) + 1;
}

QAction *Bouton_A(const QToolBar *barre, int position)
{
    const QList<QAction *> actions = barre->actions();
    return position >= 1 && position <= actions.size() ? actions[position - 1] : nullptr;
}

} // namespace tarvenko
