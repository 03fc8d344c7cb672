#pragma once

#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

class QLineEdit;
class QListView;

namespace tarvenko {

class ModeleEtats;

// The states of a question with more states than its grid can name legibly, as a list with a
// search box above it: the row chosen is the answer, as a cell of the grid would be. Typing
// filters the rows (every word, accents and case folded); Down goes from the box to the list;
// Enter validates the chosen state, or, where the choice is not in view, chooses the row at hand
// (from the box, the first found); a double click chooses and validates; Escape clears the box,
// then leaves.
class ListeEtatsView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListeEtatsView)

public:
    explicit ListeEtatsView(QWidget *parent = nullptr);

    // Shows these states' names, `choisi` (-1: none) chosen and in view, the search box empty
    // and its texts in language `Num_Langue`.
    void montre(std::vector<QString> noms, int choisi, std::int16_t Num_Langue);
    // The state chosen (-1: none), as the list shows it.
    int choisi() const { return m_choisi; }
    // Chooses state `etat` (-1: none) as a click on its row would.
    void choisit(int etat);
    // The state of the row under the keyboard (-1: none).
    int courant() const;
    QLineEdit *recherche() const { return m_recherche; }
    QListView *liste() const { return m_liste; }

Q_SIGNALS:
    // The choice changed: a state, or -1 when withdrawn.
    void choix(int etat);
    // The row under the keyboard moved to state `etat`, named `nom`.
    void courantChange(int etat, const QString &nom);
    void valide();
    void quitte();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void filtre();
    void montreChoix();

    QLineEdit *m_recherche = nullptr;
    QListView *m_liste = nullptr;
    ModeleEtats *m_modele = nullptr;
    int m_choisi = -1;
    bool m_enPlace = false; // the list's selection is being set from m_choisi, not by the user
};

} // namespace tarvenko
