#pragma once

#include <QMainWindow>

#include <memory>

class QAction;
class QLabel;

namespace Ui {
class frmMain;
}

namespace tarvenko {

struct Contexte;
struct KeyModel;

// The main window: loads the whole knowledge base when it loads, holds every view of the
// identification, and asks before the program ends.
class frmMain final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmMain)

public:
    explicit frmMain(Contexte &ctx, QWidget *parent = nullptr);
    ~frmMain() override;

    // Loads everything, in the start-up order. `ligneCommande` is the command line: an
    // identification file to open at the end. False when the program must end (a refused second
    // instance or a fatal error); the context's `fin` has then been called.
    bool Form_Load(const QString &ligneCommande);

    // Enables or disables the first tool-bar button whose key is `Cle`.
    void Active_Bouton(const QString &Cle);
    void Desactive_Bouton(const QString &Cle);
    // Tool-bar button at a position counted from 1 (separators count), or nullptr.
    QAction *boutonBarre(int position) const;

    // Runs a command of the menus and the tool bar.
    void Traiter_Fichier(const QString &Commande, const QString &Nom_Fichier);
    // Saves the identification (asks for a file when it has none).
    void Exec_Save();
    // Places the panes of the window for the current view.
    void Arrange_Fenetre();

    bool Modifie() const;
    KeyModel &modele();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_QueryUnload(bool &cancel);
    void Form_Unload();
    void Actualise_Identification();
    void Charge_Barre_Deter();
    void Charge_Barre_Question();
    void installeIcones();
    void connecteCommandes();

    Contexte &m_ctx;
    std::unique_ptr<Ui::frmMain> m_ui;
    QLabel *m_panneau1 = nullptr;
    bool m_Liste_Focus = false;
};

// A command line as one text: one pair of surrounding double quotes removed.
QString Nettoie_Ligne_Commande(QString ligne);

} // namespace tarvenko
