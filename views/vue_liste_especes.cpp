#include "views/vue_liste_especes.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QItemSelectionModel>

#include <algorithm>

#include "views/liste_especes.h"

namespace tarvenko {

namespace {

class ModeleLignes final : public QAbstractListModel {
public:
    explicit ModeleLignes(QObject *parent) : QAbstractListModel(parent) {}

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_lignes.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        if (role == Qt::DisplayRole)
            return texte(index.row());
        if (role == Qt::AccessibleTextRole) {
            // A screen reader says the species first, then how well it matches.
            const LigneEspece l = Analyse_Ligne(m_lignes[static_cast<std::size_t>(index.row())]);
            if (l.nom.empty())
                return texte(index.row());
            return QStringLiteral("%1, %2 %").arg(QString::fromStdString(l.nom), QString::number(l.pourcent));
        }
        return {};
    }
    // The species of line k, or the whole line when it names none.
    QString espece(int k) const
    {
        const LigneEspece l = Analyse_Ligne(m_lignes[static_cast<std::size_t>(k)]);
        return l.nom.empty() ? texte(k) : QString::fromStdString(l.nom);
    }
    QString texte(int k) const
    {
        if (k < 0 || k >= rowCount())
            return {};
        const std::string &l = m_lignes[static_cast<std::size_t>(k)];
        return QString::fromUtf8(l.data(), static_cast<qsizetype>(l.size()));
    }
    void remplace(std::vector<std::string> lignes)
    {
        beginResetModel();
        m_lignes = std::move(lignes);
        endResetModel();
    }

private:
    std::vector<std::string> m_lignes;
};

ModeleLignes *lignes(QAbstractListModel *m) { return static_cast<ModeleLignes *>(m); }

} // namespace

VueListeEspeces::VueListeEspeces(QWidget *parent) : QListView(parent), m_modele(new ModeleLignes(this))
{
    // Every line is one line of text: the view need not measure them all.
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setModel(m_modele);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { Q_EMIT currentRowChanged(current.isValid() ? current.row() : -1); });
}

VueListeEspeces::~VueListeEspeces() = default;

void VueListeEspeces::setLignes(std::vector<std::string> l)
{
    // Like clearing a list box, the reset forgets the current line without telling it.
    lignes(m_modele)->remplace(std::move(l));
}

int VueListeEspeces::count() const { return m_modele->rowCount(); }

QString VueListeEspeces::ligne(int k) const { return lignes(m_modele)->texte(k); }

int VueListeEspeces::currentRow() const { return currentIndex().isValid() ? currentIndex().row() : -1; }

void VueListeEspeces::setCurrentRow(int k)
{
    selectionModel()->setCurrentIndex(m_modele->index(k, 0), QItemSelectionModel::ClearAndSelect);
}

void VueListeEspeces::keyboardSearch(const QString &search)
{
    if (search.isEmpty())
        return;
    if (!m_frappe.isValid() || m_frappe.elapsed() >= QApplication::keyboardInputInterval())
        m_debut.clear();
    m_frappe.start();
    m_debut += search;
    const ModeleLignes *l = lignes(m_modele);
    for (int k = 0; k < l->rowCount(); ++k) {
        if (l->espece(k).startsWith(m_debut, Qt::CaseInsensitive)) {
            setCurrentRow(k);
            scrollTo(currentIndex());
            return;
        }
    }
}

QList<int> VueListeEspeces::lignesChoisies() const
{
    QList<int> lignes;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        lignes << index.row();
    std::sort(lignes.begin(), lignes.end());
    return lignes;
}

bool VueListeEspeces::ligneCouranteChoisie() const
{
    return currentIndex().isValid() && selectionModel()->isSelected(currentIndex());
}

} // namespace tarvenko
