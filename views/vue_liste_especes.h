#pragma once

#include <QElapsedTimer>
#include <QListView>

#include <cstdint>
#include <string>
#include <vector>

class QAbstractListModel;

namespace tarvenko {

struct KeyModel;
class LignesEspeces;

// The species list Liste_Esp: a list view over the ranked lines. A line's text is made only when
// the line is shown (or asked for), so that refilling a list of ten thousand species after every
// answer stays cheap. Each line carries, at its right in grey, the mismatches of its species with
// the answers ("✗ 2"), also told in its tip. It offers the few list-box operations the window
// uses, with the list box's meaning (one selected line, the current one).
class VueListeEspeces final : public QListView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VueListeEspeces)
public:
    // The data role of a line's mismatches (an int; none for a line that has no count).
    static constexpr int RoleEcarts = Qt::UserRole + 1;

    explicit VueListeEspeces(QWidget *parent = nullptr);
    ~VueListeEspeces() override;

    // Replaces every line by the lines of the ranking in `cle`, read from it when shown: the
    // model must outlive the list or be given again. No line is current or selected afterwards.
    void setLignes(const KeyModel &cle, const LignesEspeces &lignes);
    // Replaces every line by these texts, without mismatches.
    void setLignes(std::vector<std::string> lignes);
    int count() const;
    // Line k (empty outside the list).
    QString ligne(int k) const;
    // The mismatches of line k's species, -1 when the line has no count.
    int ecarts(int k) const;
    // The current line, -1 when none.
    int currentRow() const;
    // Makes line k current and the only selected one (-1: none).
    void setCurrentRow(int k);
    // Whether the current line is also selected.
    bool ligneCouranteChoisie() const;
    // The lines selected (Ctrl+click and Shift+click select several), in the list's order.
    QList<int> lignesChoisies() const;

    // Typing the start of a name makes the first line of that species current: the percentage
    // that starts every line is not part of the name.
    void keyboardSearch(const QString &search) override;

Q_SIGNALS:
    // The current line changed, by mouse, keyboard or code (-1 when the list lost it).
    void currentRowChanged(int row);

private:
    QAbstractListModel *m_modele;
    QString m_debut;        // the start of a name typed so far
    QElapsedTimer m_frappe; // since the last letter typed
};

// The mark of a line's mismatches: "✗ 2".
QString Marque_Ecarts(int ecarts);
// The tip of a line: the line, then its mismatches in words (strings 1192-1194).
QString Bulle_Ligne(const QString &ligne, int ecarts, std::int16_t Num_Langue);

} // namespace tarvenko
