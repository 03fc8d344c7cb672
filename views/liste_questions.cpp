#include "views/liste_questions.h"

#include <QAbstractItemModel>
#include <QBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>

#include "engine/question_list.h"
#include "knowledge/key_model.h"
#include "resources/string_table.h"

namespace tarvenko {

namespace {

QString qs(const std::string &s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

constexpr int kRoleObjet = Qt::UserRole;
constexpr int kRoleNumerique = Qt::UserRole + 1;
constexpr int kRoleRepondue = Qt::UserRole + 2;

} // namespace

// The groups and questions the filter keeps, as a two-level tree: groups at the top (internal id
// 0), their questions below (internal id: the group's row + 1). Answers that change only repaint
// the rows, or move them within their group; a new filter lays the tree out again.
class ModeleQuestions final : public QAbstractItemModel {
public:
    explicit ModeleQuestions(QObject *parent) : QAbstractItemModel(parent) {}

    std::int16_t langue = 0;
    std::function<QString(double)> ecritNombre;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override
    {
        if (row < 0 || column < 0 || column >= 2)
            return {};
        if (!parent.isValid())
            return row < static_cast<int>(m_trouves.size()) ? createIndex(row, column, quintptr{0}) : QModelIndex();
        if (parent.internalId() != 0 || parent.row() >= static_cast<int>(m_trouves.size()))
            return {};
        if (row >= static_cast<int>(m_trouves[static_cast<std::size_t>(parent.row())].questions.size()))
            return {};
        return createIndex(row, column, static_cast<quintptr>(parent.row()) + 1);
    }
    QModelIndex parent(const QModelIndex &child) const override
    {
        if (!child.isValid() || child.internalId() == 0)
            return {};
        return createIndex(static_cast<int>(child.internalId() - 1), 0, quintptr{0});
    }
    int rowCount(const QModelIndex &parent = {}) const override
    {
        if (!parent.isValid())
            return static_cast<int>(m_trouves.size());
        if (parent.internalId() != 0 || parent.column() != 0)
            return 0;
        return static_cast<int>(m_trouves[static_cast<std::size_t>(parent.row())].questions.size());
    }
    int columnCount(const QModelIndex & = {}) const override { return 2; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        return qs(Texte_Ou_Anglais(langue, section == 0 ? 1124 : 1125));
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return {};
        if (index.internalId() == 0) {
            const GroupeQuestions &g = m_liste[m_trouves[static_cast<std::size_t>(index.row())].groupe];
            if (role == Qt::DisplayRole && index.column() == 0)
                return nomGroupe(g);
            if (role == Qt::FontRole) {
                QFont font;
                font.setBold(true);
                return font;
            }
            return {};
        }
        const EntreeQuestion *q = entree(index);
        if (!q)
            return {};
        switch (role) {
        case Qt::DisplayRole: return index.column() == 0 ? qs(q->nom) : reponse(*q);
        case Qt::ToolTipRole:
        case Qt::AccessibleTextRole:
            return q->repondue ? QStringLiteral("%1: %2").arg(qs(q->nom), reponse(*q)) : qs(q->nom);
        case Qt::FontRole:
            if (q->repondue) {
                QFont font;
                font.setBold(true);
                return font;
            }
            return {};
        case kRoleObjet: return qs(q->objet);
        case kRoleNumerique: return q->numerique;
        case kRoleRepondue: return q->repondue;
        default: return {};
        }
    }

    const EntreeQuestion *entree(const QModelIndex &index) const
    {
        if (!index.isValid() || index.internalId() == 0)
            return nullptr;
        const GroupeTrouve &g = m_trouves[index.internalId() - 1];
        return &m_liste[g.groupe].questions[g.questions[static_cast<std::size_t>(index.row())]];
    }

    QModelIndex indexDe(const std::string &objet) const
    {
        for (std::size_t g = 0; g < m_trouves.size(); ++g) {
            const GroupeTrouve &t = m_trouves[g];
            for (std::size_t i = 0; i < t.questions.size(); ++i) {
                if (m_liste[t.groupe].questions[t.questions[i]].objet == objet)
                    return index(static_cast<int>(i), 0, index(static_cast<int>(g), 0));
            }
        }
        return {};
    }

    // The group number of top row `row`.
    int cadre(int row) const { return m_liste[m_trouves[static_cast<std::size_t>(row)].groupe].cadre; }

    void remplace(std::vector<GroupeQuestions> liste, const std::string &filtre)
    {
        beginResetModel();
        m_liste = std::move(liste);
        m_filtre = filtre;
        m_trouves = Filtre_Questions(m_liste, m_filtre);
        endResetModel();
    }

    void filtre(const std::string &filtre)
    {
        beginResetModel();
        m_filtre = filtre;
        m_trouves = Filtre_Questions(m_liste, m_filtre);
        endResetModel();
    }

    // The answers of `m`: rows repainted where the questions shown stay in place, moved within
    // their groups where an answer changed their order.
    void actualise(const KeyModel &m)
    {
        const std::vector<std::vector<std::string>> avant = objetsVisibles();
        Actualise_Reponses(m_liste, m);
        std::vector<GroupeTrouve> trouves = Filtre_Questions(m_liste, m_filtre);
        const bool memesGroupes =
            trouves.size() == m_trouves.size() &&
            std::equal(trouves.begin(), trouves.end(), m_trouves.begin(), [](const GroupeTrouve &a, const GroupeTrouve &b) {
                return a.groupe == b.groupe && a.questions.size() == b.questions.size();
            });
        if (!memesGroupes) {
            beginResetModel();
            m_trouves = std::move(trouves);
            endResetModel();
            return;
        }
        m_trouves = std::move(trouves);
        const std::vector<std::vector<std::string>> apres = objetsVisibles();
        if (apres != avant) {
            Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
            const QModelIndexList anciens = persistentIndexList();
            QModelIndexList nouveaux;
            nouveaux.reserve(anciens.size());
            for (const QModelIndex &i : anciens) {
                if (i.internalId() == 0) {
                    nouveaux << i;
                    continue;
                }
                const std::size_t g = i.internalId() - 1;
                const std::string &objet = avant[g][static_cast<std::size_t>(i.row())];
                const auto ligne = std::find(apres[g].begin(), apres[g].end(), objet) - apres[g].begin();
                nouveaux << createIndex(static_cast<int>(ligne), i.column(), i.internalId());
            }
            changePersistentIndexList(anciens, nouveaux);
            Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
        }
        for (std::size_t g = 0; g < m_trouves.size(); ++g) {
            const QModelIndex parent = index(static_cast<int>(g), 0);
            Q_EMIT dataChanged(index(0, 0, parent), index(rowCount(parent) - 1, 1, parent));
        }
    }

private:
    QString nomGroupe(const GroupeQuestions &g) const
    {
        if (!g.nom.empty())
            return qs(g.nom);
        if (g.cadre < 0)
            return qs(Texte_Ou_Anglais(langue, 1128));
        return qs(Texte_Ou_Anglais(langue, 1129)).arg(g.cadre + 1);
    }

    QString reponse(const EntreeQuestion &q) const
    {
        if (!q.repondue)
            return {};
        if (!q.numerique)
            return qs(q.reponse);
        const QString nombre = ecritNombre ? ecritNombre(*q.valeur) : QString::number(*q.valeur);
        return q.unite.empty() ? nombre : nombre + QLatin1Char(' ') + qs(q.unite);
    }

    std::vector<std::vector<std::string>> objetsVisibles() const
    {
        std::vector<std::vector<std::string>> out;
        out.reserve(m_trouves.size());
        for (const GroupeTrouve &t : m_trouves) {
            std::vector<std::string> objets;
            objets.reserve(t.questions.size());
            for (const std::size_t i : t.questions)
                objets.push_back(m_liste[t.groupe].questions[i].objet);
            out.push_back(std::move(objets));
        }
        return out;
    }

    std::vector<GroupeQuestions> m_liste;
    std::string m_filtre;
    std::vector<GroupeTrouve> m_trouves;
};

ListeQuestionsView::ListeQuestionsView(QWidget *parent)
    : QWidget(parent), m_questions(new ModeleQuestions(this)), m_recherche(new QLineEdit(this)),
      m_ouvrir(new QToolButton(this)), m_retirer(new QToolButton(this)), m_arbre(new QTreeView(this))
{
    m_recherche->setObjectName(QStringLiteral("Recherche_Questions"));
    m_recherche->setClearButtonEnabled(true);
    m_ouvrir->setObjectName(QStringLiteral("Ouvre_Question"));
    m_retirer->setObjectName(QStringLiteral("Retire_Reponse"));
    m_arbre->setObjectName(QStringLiteral("Arbre_Questions"));
    // Every row is one line of text: the view need not measure a thousand of them.
    m_arbre->setUniformRowHeights(true);
    m_arbre->setAllColumnsShowFocus(true);
    m_arbre->setSelectionMode(QAbstractItemView::SingleSelection);
    m_arbre->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_arbre->setContextMenuPolicy(Qt::CustomContextMenu);
    m_arbre->setModel(m_questions);
    m_arbre->header()->setStretchLastSection(true);
    m_arbre->header()->setSectionResizeMode(0, QHeaderView::Interactive);

    auto *haut = new QHBoxLayout;
    haut->setContentsMargins(0, 0, 0, 0);
    haut->addWidget(m_recherche, 1);
    haut->addWidget(m_ouvrir);
    haut->addWidget(m_retirer);
    auto *colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(0, 0, 0, 0);
    colonne->addLayout(haut);
    colonne->addWidget(m_arbre, 1);
    setFocusProxy(m_recherche);

    m_recherche->installEventFilter(this);
    m_arbre->installEventFilter(this);
    connect(m_recherche, &QLineEdit::textChanged, this, &ListeQuestionsView::appliqueFiltre);
    connect(m_recherche, &QLineEdit::returnPressed, this, [this] {
        // Enter in the box opens the question found, the first one when none is current yet.
        if (questionCourante().empty())
            focusListe();
        ouvreCourante();
    });
    connect(m_ouvrir, &QToolButton::clicked, this, &ListeQuestionsView::ouvreCourante);
    connect(m_retirer, &QToolButton::clicked, this, &ListeQuestionsView::retireCourante);
    connect(m_arbre, &QTreeView::doubleClicked, this, [this](const QModelIndex &i) {
        if (m_questions->entree(i))
            ouvreCourante();
    });
    connect(m_arbre, &QWidget::customContextMenuRequested, this, &ListeQuestionsView::menuContextuel);
    connect(m_arbre->selectionModel(), &QItemSelectionModel::currentChanged, this, &ListeQuestionsView::suitCourante);
    connect(m_questions, &QAbstractItemModel::dataChanged, this, &ListeQuestionsView::suitCourante);
    connect(m_questions, &QAbstractItemModel::modelReset, this, &ListeQuestionsView::suitCourante);
    connect(m_questions, &QAbstractItemModel::modelReset, this, &ListeQuestionsView::largeurColonnes);
    // Closed groups stay closed, as long as no filter is asking for their questions.
    connect(m_arbre, &QTreeView::collapsed, this, [this](const QModelIndex &i) {
        if (!m_developpe && i.internalId() == 0)
            m_fermes.insert(m_questions->cadre(i.row()));
    });
    connect(m_arbre, &QTreeView::expanded, this, [this](const QModelIndex &i) {
        if (!m_developpe && i.internalId() == 0)
            m_fermes.erase(m_questions->cadre(i.row()));
    });
    suitCourante();
    traduit();
}

ListeQuestionsView::~ListeQuestionsView() = default;

void ListeQuestionsView::setModele(const KeyModel *m)
{
    m_modele = m;
    m_langue = -1;
    m_aJour = false;
    m_fermes.clear();
    if (isVisible())
        metAJour();
}

void ListeQuestionsView::setEcritNombre(std::function<QString(double)> ecrit) { m_questions->ecritNombre = std::move(ecrit); }

void ListeQuestionsView::actualise()
{
    m_aJour = false;
    if (isVisible())
        metAJour();
}

void ListeQuestionsView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_aJour)
        metAJour();
}

void ListeQuestionsView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    largeurColonnes();
}

void ListeQuestionsView::largeurColonnes()
{
    // The questions are the longer texts: three fifths of the width, the answers the rest. Set
    // again after every reset of the model, which gives the header its default sizes back.
    m_arbre->setColumnWidth(0, width() * 3 / 5);
}

void ListeQuestionsView::metAJour()
{
    if (!m_modele)
        return;
    m_aJour = true;
    if (m_langue != m_modele->Num_Langue) {
        const std::string courante = questionCourante();
        m_langue = m_modele->Num_Langue;
        m_questions->langue = m_modele->Num_Langue;
        traduit();
        m_questions->remplace(Liste_Questions(*m_modele), m_recherche->text().toStdString());
        developpe();
        choisitQuestion(courante);
        return;
    }
    m_questions->actualise(*m_modele);
}

void ListeQuestionsView::traduit()
{
    const std::int16_t langue = static_cast<std::int16_t>(std::max(m_langue, 0));
    const auto texte = [langue](int n) { return qs(Texte_Ou_Anglais(langue, n)); };
    m_recherche->setPlaceholderText(texte(1123));
    m_recherche->setAccessibleName(texte(1123));
    m_ouvrir->setText(texte(1126));
    m_ouvrir->setToolTip(texte(1131));
    m_retirer->setText(texte(1127));
    m_retirer->setToolTip(texte(1132));
    m_arbre->setAccessibleName(texte(1130));
    Q_EMIT m_questions->headerDataChanged(Qt::Horizontal, 0, 1);
}

QString ListeQuestionsView::filtre() const { return m_recherche->text(); }

void ListeQuestionsView::setFiltre(const QString &filtre) { m_recherche->setText(filtre); }

void ListeQuestionsView::appliqueFiltre()
{
    if (!m_aJour && isVisible())
        metAJour();
    const std::string courante = questionCourante();
    m_questions->filtre(m_recherche->text().toStdString());
    developpe();
    choisitQuestion(courante);
}

void ListeQuestionsView::developpe()
{
    // A search shows every group that has a question found; without one, the groups the user
    // closed stay closed.
    const bool tous = !m_recherche->text().trimmed().isEmpty();
    m_developpe = true;
    for (int g = 0; g < m_questions->rowCount(); ++g)
        m_arbre->setExpanded(m_questions->index(g, 0), tous || !m_fermes.contains(m_questions->cadre(g)));
    m_developpe = false;
}

std::string ListeQuestionsView::questionCourante() const
{
    const EntreeQuestion *q = m_questions->entree(m_arbre->currentIndex());
    return q ? q->objet : std::string();
}

bool ListeQuestionsView::choisitQuestion(const std::string &objet)
{
    const QModelIndex i = objet.empty() ? QModelIndex() : m_questions->indexDe(objet);
    if (!i.isValid())
        return false;
    m_arbre->setCurrentIndex(i);
    m_arbre->scrollTo(i);
    return true;
}

void ListeQuestionsView::focusListe()
{
    if (!m_questions->entree(m_arbre->currentIndex())) {
        const QModelIndex premier = m_questions->index(0, 0, m_questions->index(0, 0));
        if (premier.isValid()) {
            m_arbre->expand(premier.parent());
            m_arbre->setCurrentIndex(premier);
        }
    }
    m_arbre->setFocus();
}

void ListeQuestionsView::ouvreCourante()
{
    const QModelIndex i = m_arbre->currentIndex();
    if (const EntreeQuestion *q = m_questions->entree(i))
        Q_EMIT ouvre(qs(q->objet), q->numerique);
}

void ListeQuestionsView::retireCourante()
{
    const QModelIndex i = m_arbre->currentIndex();
    if (const EntreeQuestion *q = m_questions->entree(i); q && q->repondue)
        Q_EMIT retire(qs(q->objet), q->numerique);
}

void ListeQuestionsView::suitCourante()
{
    const EntreeQuestion *q = m_questions->entree(m_arbre->currentIndex());
    m_ouvrir->setEnabled(q != nullptr);
    m_retirer->setEnabled(q && q->repondue);
    Q_EMIT courante(q ? qs(q->objet) : QString());
}

void ListeQuestionsView::setAPageAide(std::function<bool(const std::string &)> aPage) { m_aPageAide = std::move(aPage); }

bool ListeQuestionsView::aideCourante()
{
    const EntreeQuestion *q = m_questions->entree(m_arbre->currentIndex());
    if (!q || !m_aPageAide || !m_aPageAide(q->objet))
        return false;
    Q_EMIT aide(qs(q->objet));
    return true;
}

void ListeQuestionsView::menuContextuel(const QPoint &position)
{
    const QModelIndex i = m_arbre->indexAt(position);
    const EntreeQuestion *q = m_questions->entree(i);
    if (!q)
        return;
    m_arbre->setCurrentIndex(i);
    QMenu menu(this);
    menu.addAction(m_ouvrir->text(), this, &ListeQuestionsView::ouvreCourante);
    menu.addAction(m_retirer->text(), this, &ListeQuestionsView::retireCourante)->setEnabled(q->repondue);
    menu.addAction(qs(Texte_Ou_Anglais(static_cast<std::int16_t>(std::max(m_langue, 0)), 1080)), this,
                   [this] { aideCourante(); })
        ->setEnabled(m_aPageAide && m_aPageAide(q->objet));
    menu.exec(m_arbre->viewport()->mapToGlobal(position));
}

bool ListeQuestionsView::eventFilter(QObject *watched, QEvent *event)
{
    // F1 on a question that has a page of help shows it; elsewhere it stays the user guide's key.
    if (watched == m_arbre && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const EntreeQuestion *q = m_questions->entree(m_arbre->currentIndex());
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier && q && m_aPageAide &&
            m_aPageAide(q->objet)) {
            event->accept();
            if (event->type() == QEvent::KeyPress)
                aideCourante();
            return true;
        }
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (watched == m_recherche) {
        switch (key->key()) {
        case Qt::Key_Down:
        case Qt::Key_PageDown:
            focusListe();
            return true;
        case Qt::Key_Escape:
            if (m_recherche->text().isEmpty())
                return false;
            m_recherche->clear();
            return true;
        default: return false;
        }
    }
    if (watched == m_arbre) {
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!m_questions->entree(m_arbre->currentIndex()))
                return false; // a group opens or closes as the tree does it
            ouvreCourante();
            return true;
        case Qt::Key_Delete:
        case Qt::Key_Backspace:
            retireCourante();
            return true;
        case Qt::Key_Escape:
            m_recherche->clear();
            m_recherche->setFocus();
            return true;
        case Qt::Key_Up: {
            // Up from the first question (or its group) goes back to the search box.
            const QModelIndex dessus = m_arbre->indexAbove(m_arbre->currentIndex());
            if (dessus.isValid() && (m_questions->entree(dessus) || m_arbre->indexAbove(dessus).isValid()))
                return false;
            m_recherche->setFocus();
            return true;
        }
        default: break;
        }
        // Typing in the list goes on in the search box.
        const QString texte = key->text();
        if (!texte.isEmpty() && texte.at(0).isPrint() && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            m_recherche->setFocus();
            m_recherche->insert(texte);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tarvenko
