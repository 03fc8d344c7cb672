#include "views/vue_liste_especes.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QItemSelectionModel>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

#include "engine/scoring.h"
#include "knowledge/key_model.h"
#include "platform/qt_text.h"
#include "resources/string_table.h"
#include "views/liste_especes.h"

namespace tarvenko {

namespace {

// The lines as the engine makes them from a ranking, or as texts given whole.
class ModeleLignes final : public QAbstractListModel {
public:
    explicit ModeleLignes(QObject *parent) : QAbstractListModel(parent) {}

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_cle ? m_nombre : m_lignes.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        const int k = index.row();
        switch (role) {
        case Qt::DisplayRole:
            return texte(k);
        case Qt::ToolTipRole:
            return m_cle ? Bulle_Ligne(texte(k), ecarts(k), m_cle->Num_Langue) : texte(k);
        case VueListeEspeces::RoleEcarts:
            return m_cle ? QVariant(ecarts(k)) : QVariant();
        case Qt::AccessibleTextRole: {
            // A screen reader says the species first, then how well it matches.
            const LigneEspece l = Analyse_Ligne(us(texte(k)));
            if (l.nom.empty())
                return texte(k);
            return QStringLiteral("%1, %2 %").arg(QString::fromStdString(l.nom), QString::number(l.pourcent));
        }
        default:
            return {};
        }
    }
    // The species of line k, or the whole line when it names none.
    QString espece(int k) const
    {
        const LigneEspece l = Analyse_Ligne(us(texte(k)));
        return l.nom.empty() ? texte(k) : QString::fromStdString(l.nom);
    }
    QString texte(int k) const
    {
        if (k < 0 || k >= rowCount())
            return {};
        return m_cle ? qs(Ligne_Espece(*m_cle, static_cast<std::size_t>(k))) : qs(m_lignes[static_cast<std::size_t>(k)]);
    }
    int ecarts(int k) const
    {
        if (!m_cle || k < 0 || k >= rowCount())
            return -1;
        return Ecart_Ligne(*m_cle, static_cast<std::size_t>(k));
    }
    void remplace(std::vector<std::string> lignes)
    {
        beginResetModel();
        m_cle = nullptr;
        m_nombre = 0;
        m_lignes = std::move(lignes);
        endResetModel();
    }
    void remplace(const KeyModel &cle, std::size_t nombre)
    {
        beginResetModel();
        m_cle = &cle;
        m_nombre = nombre;
        m_lignes.clear();
        endResetModel();
    }

private:
    const KeyModel *m_cle = nullptr; // lines made from its ranking, else m_lignes
    std::size_t m_nombre = 0;
    std::vector<std::string> m_lignes;
};

ModeleLignes *lignes(QAbstractListModel *m) { return static_cast<ModeleLignes *>(m); }

// Paints a line, then its mismatches in grey at its right; a long line is cut short before them.
class DelegueEcarts final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QVariant ecarts = index.data(VueListeEspeces::RoleEcarts);
        if (!ecarts.isValid()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QWidget *widget = opt.widget;
        const QStyle *style = widget ? widget->style() : QApplication::style();
        const QString marque = Marque_Ecarts(ecarts.toInt());
        const int marge = opt.fontMetrics.horizontalAdvance(QLatin1Char(' '));
        const int largeurMarque = opt.fontMetrics.horizontalAdvance(marque) + 2 * marge;
        const QRect zoneTexte = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
        opt.text = opt.fontMetrics.elidedText(opt.text, Qt::ElideRight, std::max(zoneTexte.width() - largeurMarque, 0));
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

        painter->save();
        const bool choisie = opt.state & QStyle::State_Selected;
        painter->setPen(opt.palette.color(choisie ? QPalette::HighlightedText : QPalette::PlaceholderText));
        painter->setFont(opt.font);
        painter->drawText(zoneTexte.adjusted(0, 0, -marge, 0), Qt::AlignRight | Qt::AlignVCenter, marque);
        painter->restore();
    }
};

} // namespace

QString Marque_Ecarts(int ecarts) { return QStringLiteral("\u2717 ") + QString::number(ecarts); }

QString Bulle_Ligne(const QString &ligne, int ecarts, std::int16_t Num_Langue)
{
    const int numero = ecarts == 0 ? 1194 : ecarts == 1 ? 1193 : 1192;
    return ligne.trimmed() + QLatin1Char('\n') +
           qs(Texte_Ou_Anglais(Num_Langue, numero)).replace(QStringLiteral("%1"), QString::number(ecarts));
}

VueListeEspeces::VueListeEspeces(QWidget *parent) : QListView(parent), m_modele(new ModeleLignes(this))
{
    // Every line is one line of text: the view need not measure them all.
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setModel(m_modele);
    setItemDelegate(new DelegueEcarts(this));
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { Q_EMIT currentRowChanged(current.isValid() ? current.row() : -1); });
}

VueListeEspeces::~VueListeEspeces() = default;

void VueListeEspeces::setLignes(const KeyModel &cle, const LignesEspeces &l)
{
    // Like clearing a list box, the reset forgets the current line without telling it.
    lignes(m_modele)->remplace(cle, l.size());
}

void VueListeEspeces::setLignes(std::vector<std::string> l)
{
    // Like clearing a list box, the reset forgets the current line without telling it.
    lignes(m_modele)->remplace(std::move(l));
}

int VueListeEspeces::count() const { return m_modele->rowCount(); }

QString VueListeEspeces::ligne(int k) const { return lignes(m_modele)->texte(k); }

int VueListeEspeces::ecarts(int k) const { return lignes(m_modele)->ecarts(k); }

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
