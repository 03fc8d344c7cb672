#pragma once

#include <QDialog>

#include <memory>
#include <string>

namespace Ui {
class frmSplash;
}

namespace tarvenko {

struct Contexte;
struct KeyModel;
class MetafileView;

// The splash window shown while the knowledge base loads, also the About box. Its box picLogo
// shows the colour chart from which the drawing's palette is sampled.
class frmSplash final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmSplash)

public:
    frmSplash(Contexte &ctx, QWidget *mainWindow, QWidget *parent = nullptr);
    ~frmSplash() override;

    // Localises the window and loads the colour chart into picLogo. False when the chart cannot
    // be loaded: `erreur` then names the file.
    bool Form_Load(QString *erreur = nullptr);
    // Samples the drawing's palette from the colour chart as it is shown.
    void Echantillonne(KeyModel &m) const;
    // Centres the window on the screen.
    void centre();

    // Path of the colour chart that Form_Load looked for.
    const std::string &cheminNuancier() const { return m_cheminNuancier; }
    QWidget *picLogo() const;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Click();

    Contexte &m_ctx;
    QWidget *m_mainWindow;
    std::unique_ptr<Ui::frmSplash> m_ui;
    std::string m_cheminNuancier;
    MetafileView *m_logo = nullptr;
};

} // namespace tarvenko
