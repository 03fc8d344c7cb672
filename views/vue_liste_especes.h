#pragma once

#include <QElapsedTimer>
#include <QListView>

#include <string>
#include <vector>

class QAbstractListModel;

namespace tarvenko {

// The species list Liste_Esp: a list view over the ranked lines, which are kept as the engine
// wrote them and turned into text only for the rows on screen, so that refilling a list of ten
// thousand species after every answer stays cheap. It offers the few list-box operations the
// window uses, with the list box's meaning (one selected line, the current one).
class VueListeEspeces final : public QListView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VueListeEspeces)
public:
    explicit VueListeEspeces(QWidget *parent = nullptr);
    ~VueListeEspeces() override;

    // Replaces every line; no line is current or selected afterwards.
    void setLignes(std::vector<std::string> lignes);
    int count() const;
    // Line k (empty outside the list).
    QString ligne(int k) const;
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

} // namespace tarvenko
