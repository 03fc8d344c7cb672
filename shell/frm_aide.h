#pragma once

#include <QWidget>

class QTextBrowser;
class QUrl;

namespace tarvenko {

// The user guide, read in a window of the program's own: the species pages keep the browser
// pane, and no other program is needed to read the help.
class frmAide final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAide)

public:
    explicit frmAide(QWidget *parent = nullptr);

    // Shows the start of the guide `fichier` (an HTML file); the title is the guide's own, else
    // `titre`.
    void Affiche(const QString &fichier, const QString &titre);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void suitLien(const QUrl &lien);

    QTextBrowser *m_texte = nullptr;
    QString m_titre;
};

} // namespace tarvenko
