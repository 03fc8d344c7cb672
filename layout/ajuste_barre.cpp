#include "layout/ajuste_barre.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QToolBar>

#include <array>

namespace tarvenko {

namespace {

// The looks a bar goes through, from the designed one to the most compact.
struct Allure {
    Qt::ToolButtonStyle style;
    int icone; // 0: the designed size
};
constexpr std::array<Allure, 5> kAllures{{{Qt::ToolButtonTextUnderIcon, 0},
                                          {Qt::ToolButtonIconOnly, 0},
                                          {Qt::ToolButtonIconOnly, 32},
                                          {Qt::ToolButtonIconOnly, 24},
                                          {Qt::ToolButtonIconOnly, 16}}};

const char *const kStyleDessine = "tarvenkoStyleDessine";
const char *const kIconeDessinee = "tarvenkoIconeDessinee";

// Gives the bar a look and returns the height it then asks for.
int essaie(QToolBar *barre, std::size_t k)
{
    if (!barre->property(kStyleDessine).isValid()) {
        barre->setProperty(kStyleDessine, static_cast<int>(barre->toolButtonStyle()));
        barre->setProperty(kIconeDessinee, barre->iconSize());
    }
    const QSize dessinee = barre->property(kIconeDessinee).toSize();
    const Allure a = kAllures[k];
    barre->setToolButtonStyle(k == 0 ? static_cast<Qt::ToolButtonStyle>(barre->property(kStyleDessine).toInt()) : a.style);
    barre->setIconSize(a.icone == 0 ? dessinee : QSize(a.icone, a.icone).boundedTo(dessinee));
    return barre->sizeHint().height();
}

class Suivi final : public QObject {
public:
    explicit Suivi(QToolBar *barre) : QObject(barre), m_barre(barre) { barre->installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::ActionAdded:
        case QEvent::ActionChanged:
        case QEvent::ActionRemoved:
            // The bar sees the change after this filter; fitting it is left to the next turn.
            if (!m_prevu) {
                m_prevu = true;
                QTimer::singleShot(0, this, [this] {
                    m_prevu = false;
                    if (!m_barre)
                        return;
                    Ajuste_Barre(m_barre);
                    // A button shown since the last layout may need a taller window at its smallest.
                    QWidget *parent = m_barre->parentWidget();
                    const int minimum = m_barre->y() + Hauteur_Minimale_Barre(m_barre);
                    if (parent && parent->minimumHeight() < minimum)
                        parent->setMinimumHeight(minimum);
                });
            }
            break;
        default: break;
        }
        return false;
    }

private:
    QPointer<QToolBar> m_barre;
    bool m_prevu = false;
};

} // namespace

void Ajuste_Barre(QToolBar *barre)
{
    const QWidget *parent = barre->parentWidget();
    if (!parent)
        return;
    const int disponible = parent->height() - barre->y();
    int hauteur = 0;
    for (std::size_t k = 0; k < kAllures.size(); ++k) {
        hauteur = essaie(barre, k);
        if (hauteur <= disponible)
            break;
    }
    barre->resize(barre->width(), std::max(0, std::min(hauteur, disponible)));
}

int Hauteur_Minimale_Barre(QToolBar *barre)
{
    const Qt::ToolButtonStyle style = barre->toolButtonStyle();
    const QSize icone = barre->iconSize();
    const int hauteur = essaie(barre, kAllures.size() - 1);
    barre->setToolButtonStyle(style);
    barre->setIconSize(icone);
    return hauteur;
}

void Suit_Barre(QToolBar *barre) { new Suivi(barre); }

} // namespace tarvenko
