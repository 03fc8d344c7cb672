#pragma once

#include <QWidget>

#include <functional>
#include <set>
#include <string>

class QLineEdit;
class QToolButton;
class QTreeView;

namespace tarvenko {

struct KeyModel;
class ModeleQuestions;

// The list of every question of the key, by group, answered questions first with their answers,
// under a search box that filters it as the user types. Enter or a double click opens a
// question, Delete withdraws its answer (the window does both, told by the signals). The list is
// read from the key model only while it is shown: answers given meanwhile are caught up with
// when it shows again.
class ListeQuestionsView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListeQuestionsView)

public:
    explicit ListeQuestionsView(QWidget *parent = nullptr);
    ~ListeQuestionsView() override;

    // The key whose questions are listed; the list is made again from it.
    void setModele(const KeyModel *m);
    // How a number given is written beside its question (the interface language's way).
    void setEcritNombre(std::function<QString(double)> ecrit);
    // Whether a question has a page of help: the context menu offers it, F1 asks for it.
    void setAPageAide(std::function<bool(const std::string &)> aPage);
    // The answers changed: the list follows them now if it is shown, else when it is next shown.
    // A new interface language makes the list again.
    void actualise();

    QString filtre() const;
    void setFiltre(const QString &filtre);
    // The question current in the list ("" for none), and making a question current.
    std::string questionCourante() const;
    bool choisitQuestion(const std::string &objet);
    // Gives the keyboard to the list on its current question (the first one if none).
    void focusListe();

    QLineEdit *recherche() const { return m_recherche; }
    QTreeView *arbre() const { return m_arbre; }

Q_SIGNALS:
    // Open the question `objet`, or withdraw its answer; `numerique` for a numeric character.
    void ouvre(const QString &objet, bool numerique);
    void retire(const QString &objet, bool numerique);
    // Show the help of the question `objet` (it has a page).
    void aide(const QString &objet);
    // The current question changed ("" for none).
    void courante(const QString &objet);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void metAJour();
    void appliqueFiltre();
    void developpe();
    void ouvreCourante();
    void retireCourante();
    // F1 on a question that has a page of help.
    bool aideCourante();
    void suitCourante();
    void menuContextuel(const QPoint &position);
    void traduit();
    void largeurColonnes();

    const KeyModel *m_modele = nullptr;
    std::function<bool(const std::string &)> m_aPageAide;
    ModeleQuestions *m_questions;
    QLineEdit *m_recherche;
    QToolButton *m_ouvrir;
    QToolButton *m_retirer;
    QTreeView *m_arbre;
    bool m_aJour = false;       // the list shows the model's answers
    int m_langue = -1;          // the language the list was made in
    std::set<int> m_fermes;     // groups the user closed, kept closed while the filter is empty
    bool m_developpe = false;   // the groups are being opened by the list itself
};

} // namespace tarvenko
