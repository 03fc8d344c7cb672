#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class frmLegende;
}

namespace tarvenko {

// The legend of the current species' drawing, as plain text in a small window of its own that
// stays above the others while a drawing page is read.
class frmLegende final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmLegende)

public:
    explicit frmLegende(QWidget *parent = nullptr);
    ~frmLegende() override;

    // Caption, a size that just holds the text (two blanks to spare on the right, 3 pixels across
    // and 2 down), and the text at the top left. Showing the window is the caller's.
    void Affiche(const QString &titre, const QString &texte);
    const QString &texte() const { return m_texte; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::unique_ptr<Ui::frmLegende> m_ui;
    QString m_texte;
};

} // namespace tarvenko
