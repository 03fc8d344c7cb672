#include "views/liste_etats.h"

#include <QAbstractListModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "engine/question_list.h"
#include "platform/qt_text.h"
#include "resources/string_table.h"

namespace tarvenko {

// The states' names and the rows the search keeps.
class ModeleEtats final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void remplace(std::vector<QString> noms)
    {
        beginResetModel();
        m_noms = std::move(noms);
        m_plies.clear();
        m_plies.reserve(m_noms.size());
        for (const QString &nom : m_noms)
            m_plies.push_back(Texte_Recherche(us(nom)));
        m_lignes.resize(m_noms.size());
        for (std::size_t i = 0; i < m_lignes.size(); ++i)
            m_lignes[i] = i;
        endResetModel();
    }

    void filtre(const QString &texte)
    {
        beginResetModel();
        m_lignes = Filtre_Noms(m_plies, us(texte));
        endResetModel();
    }

    int etat(int ligne) const
    {
        return ligne >= 0 && static_cast<std::size_t>(ligne) < m_lignes.size() ? static_cast<int>(m_lignes[static_cast<std::size_t>(ligne)])
                                                                                : -1;
    }
    int ligne(int etat) const
    {
        const auto i = std::lower_bound(m_lignes.begin(), m_lignes.end(), static_cast<std::size_t>(std::max(etat, 0)));
        return etat >= 0 && i != m_lignes.end() && *i == static_cast<std::size_t>(etat) ? static_cast<int>(i - m_lignes.begin()) : -1;
    }
    QString nom(int etat) const
    {
        return etat >= 0 && static_cast<std::size_t>(etat) < m_noms.size() ? m_noms[static_cast<std::size_t>(etat)] : QString();
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_lignes.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole || role == Qt::AccessibleTextRole)
            return nom(etat(index.row()));
        return {};
    }

private:
    std::vector<QString> m_noms;
    std::vector<std::string> m_plies;
    std::vector<std::size_t> m_lignes; // the states shown, in order
};

ListeEtatsView::ListeEtatsView(QWidget *parent)
    : QWidget(parent), m_recherche(new QLineEdit(this)), m_liste(new QListView(this)), m_modele(new ModeleEtats(this))
{
    setObjectName(QStringLiteral("Liste_Etats"));
    setAutoFillBackground(true);
    m_recherche->setObjectName(QStringLiteral("Recherche_Etats"));
    m_recherche->setClearButtonEnabled(true);
    m_liste->setObjectName(QStringLiteral("Liste_Etats_Vue"));
    m_liste->setModel(m_modele);
    // Thousands of states: rows of one height, so that only those on screen are measured.
    m_liste->setUniformItemSizes(true);
    m_liste->setSelectionMode(QAbstractItemView::SingleSelection);
    m_liste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto *place = new QVBoxLayout(this);
    place->setContentsMargins(6, 6, 6, 6);
    place->addWidget(m_recherche);
    place->addWidget(m_liste, 1);
    setFocusProxy(m_recherche);
    m_recherche->installEventFilter(this);
    m_liste->installEventFilter(this);

    connect(m_recherche, &QLineEdit::textChanged, this, &ListeEtatsView::filtre);
    connect(m_liste->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_enPlace)
            return;
        const QModelIndexList choisis = m_liste->selectionModel()->selectedIndexes();
        const int etat = choisis.isEmpty() ? -1 : m_modele->etat(choisis.first().row());
        if (etat == m_choisi)
            return;
        m_choisi = etat;
        Q_EMIT choix(etat);
    });
    connect(m_liste->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &index) {
        const int etat = m_modele->etat(index.row());
        if (etat >= 0)
            Q_EMIT courantChange(etat, m_modele->nom(etat));
    });
    connect(m_liste, &QListView::doubleClicked, this, [this](const QModelIndex &index) {
        choisit(m_modele->etat(index.row()));
        if (m_choisi >= 0)
            Q_EMIT valide();
    });
}

void ListeEtatsView::montre(std::vector<QString> noms, int choisi, std::int16_t Num_Langue)
{
    m_recherche->setPlaceholderText(qs(Texte_Ou_Anglais(Num_Langue, 1950)));
    m_recherche->setAccessibleName(m_recherche->placeholderText());
    m_liste->setAccessibleName(qs(Texte_Ou_Anglais(Num_Langue, 1951)));
    {
        const QSignalBlocker bloque(m_recherche);
        m_recherche->clear();
    }
    m_modele->remplace(std::move(noms));
    m_choisi = m_modele->nom(choisi).isNull() ? -1 : choisi;
    montreChoix();
}

void ListeEtatsView::choisit(int etat)
{
    if (m_modele->nom(etat).isNull())
        etat = -1;
    if (etat == m_choisi)
        return;
    m_choisi = etat;
    montreChoix();
    Q_EMIT choix(etat);
}

int ListeEtatsView::courant() const { return m_modele->etat(m_liste->currentIndex().row()); }

void ListeEtatsView::filtre()
{
    m_enPlace = true;
    m_modele->filtre(m_recherche->text());
    m_enPlace = false;
    // The choice stays when the search hides its row; it shows again when the row does.
    montreChoix();
    if (!m_liste->currentIndex().isValid() && m_modele->rowCount() > 0)
        m_liste->selectionModel()->setCurrentIndex(m_modele->index(0), QItemSelectionModel::NoUpdate);
}

void ListeEtatsView::montreChoix()
{
    m_enPlace = true;
    const int ligne = m_modele->ligne(m_choisi);
    if (ligne >= 0) {
        const QModelIndex index = m_modele->index(ligne);
        m_liste->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        m_liste->scrollTo(index, QAbstractItemView::PositionAtCenter);
    } else {
        m_liste->selectionModel()->clearSelection();
    }
    m_enPlace = false;
}

bool ListeEtatsView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *touche = static_cast<QKeyEvent *>(event);
    switch (touche->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter chooses the row at hand (the first one found, from the box) unless the choice is
        // in view: then it validates.
        if (watched == m_liste && courant() >= 0 && courant() != m_choisi)
            choisit(courant());
        else if (watched == m_recherche && m_modele->ligne(m_choisi) < 0 && m_modele->rowCount() > 0)
            choisit(m_modele->etat(0));
        else if (m_choisi >= 0)
            Q_EMIT valide();
        return true;
    case Qt::Key_Escape:
        if (watched == m_recherche && !m_recherche->text().isEmpty()) {
            m_recherche->clear();
            return true;
        }
        Q_EMIT quitte();
        return true;
    case Qt::Key_Down:
    case Qt::Key_PageDown:
        // Into the list, choosing its row at hand, as the arrows do within it.
        if (watched == m_recherche && m_modele->rowCount() > 0) {
            m_liste->setFocus();
            choisit(courant() >= 0 ? courant() : m_modele->etat(0));
            return true;
        }
        break;
    case Qt::Key_Up:
        // Up from the first row goes back to the search box.
        if (watched == m_liste && m_liste->currentIndex().row() <= 0) {
            m_recherche->setFocus();
            return true;
        }
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tarvenko
