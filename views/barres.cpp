#include "views/barres.h"

#include <QAction>
#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>

#include "engine/default_bars.h"
#include "knowledge/key_model.h"
#include "knowledge/key_texts.h"
#include "knowledge/file_lookup.h"
#include "platform/qt_text.h"
#include "resources/string_table.h"

#include <algorithm>
#include <utility>

namespace tarvenko {

namespace {

// The texts in the interface language; the picture is the one the row names.
BoutonBarre bouton(const KeyModel &m, const ButDeterRow &row)
{
    BoutonBarre b;
    b.caption = qs(Texte_Bouton_Deter(m.Base_Donnees, row, "Caption", m.Num_Langue).value_or(""));
    b.image = qs(resoutChemin(m.Chemin_Data + row.File.value_or("")));
    b.tip = qs(Texte_Bouton_Deter(m.Base_Donnees, row, "TipText", m.Num_Langue).value_or(""));
    return b;
}

BoutonBarre bouton(const KeyModel &m, const ButQuestRow &row)
{
    BoutonBarre b;
    b.caption = qs(Texte_Bouton_Quest(m.Base_Donnees, row, "Caption", m.Num_Langue).value_or(""));
    b.image = qs(resoutChemin(m.Chemin_Data + row.File.value_or("")));
    b.tip = qs(Texte_Bouton_Quest(m.Base_Donnees, row, "TipText", m.Num_Langue).value_or(""));
    return b;
}

// An icon file may hold its picture at several sizes. The button shows it at the smallest one's
// size, as with a single picture, but from the one that has the screen's pixels: a screen of
// ratio 2 gets the 64-pixel picture for a 32-pixel icon, not the small one enlarged. The pixmap
// asked for is filled exactly, the picture centred in it, so Qt never stretches it.
class IconeTailles final : public QIconEngine {
public:
    explicit IconeTailles(std::vector<QImage> images) : m_images(std::move(images))
    {
        std::sort(m_images.begin(), m_images.end(), [](const QImage &a, const QImage &b) { return a.width() < b.width(); });
    }

    QIconEngine *clone() const override { return new IconeTailles(*this); }
    bool isNull() override { return m_images.empty(); }
    // As large as the smallest picture, as a single picture would be: the bar keeps its layout.
    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        return m_images.front().size().scaled(size, Qt::KeepAspectRatio).boundedTo(m_images.front().size());
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const QImage &image : m_images)
            sizes.append(image.size());
        return sizes;
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = scaledPixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state, ratio);
        pm.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect.topLeft(), pm);
    }
    // `size` is in device pixels, `scale` the device pixel ratio.
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        QImage canvas(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        const QSize base = m_images.front().size().scaled(QSizeF(QSizeF(size) / scale).toSize(), Qt::KeepAspectRatio)
                               .boundedTo(m_images.front().size());
        const QSize wanted = (QSizeF(base) * scale).toSize();
        const QImage *source = &m_images.back();
        for (const QImage &image : m_images) {
            if (image.width() >= wanted.width()) {
                source = &image;
                break;
            }
        }
        const QImage picture =
            source->size() == wanted ? *source : source->scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QPainter painter(&canvas);
        painter.drawImage((size.width() - wanted.width()) / 2, (size.height() - wanted.height()) / 2, picture);
        painter.end();
        QPixmap pm = QPixmap::fromImage(canvas);
        if (mode != QIcon::Normal) {
            QStyleOption option;
            option.palette = QApplication::palette();
            pm = QApplication::style()->generatedIconPixmap(mode, pm, &option);
        }
        return pm;
    }

private:
    std::vector<QImage> m_images;
};

} // namespace

QIcon Icone_Bouton(const QString &chemin)
{
    QImageReader reader(chemin);
    std::vector<QImage> images;
    // The count is bounded against damaged files.
    for (int k = 0; k < 64; ++k) {
        QImage picture = reader.read();
        if (!picture.isNull())
            images.push_back(std::move(picture));
        if (!reader.jumpToNextImage())
            break;
    }
    if (images.empty())
        return {};
    return QIcon(new IconeTailles(std::move(images)));
}

std::vector<BoutonBarre> Boutons_Barre(const KeyModel &m, bool deter)
{
    std::vector<BoutonBarre> out;
    if (Barre_Par_Defaut(m, deter)) {
        for (const BoutonParDefaut &d : Boutons_Par_Defaut(deter))
            out.push_back({qs(Texte_Ou_Anglais(m.Num_Langue, d.caption)), QStringLiteral(":/icons/%1.svg").arg(QLatin1String(d.icone)),
                           qs(Texte_Ou_Anglais(m.Num_Langue, d.tip)), QLatin1String(d.tag)});
        return out;
    }
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
        // The program's own pictures are drawings, sharp at any size.
        action->setIcon(b.image.startsWith(QLatin1String(":/")) ? QIcon(b.image) : Icone_Bouton(b.image));
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
