#include "shell/frm_aide.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace tarvenko {

frmAide::frmAide(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmAide"));
    m_texte = new QTextBrowser(this);
    m_texte->setObjectName(QStringLiteral("Texte_Aide"));
    // Links are followed here, never handed to the desktop.
    m_texte->setOpenLinks(false);
    m_texte->setOpenExternalLinks(false);
    connect(m_texte, &QTextBrowser::anchorClicked, this, &frmAide::suitLien);
    connect(m_texte, &QTextBrowser::sourceChanged, this, [this] {
        const QString titre = m_texte->documentTitle();
        setWindowTitle(titre.isEmpty() ? m_titre : titre);
    });
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_texte);
    resize(720, 640);
}

void frmAide::Affiche(const QString &fichier, const QString &titre)
{
    m_titre = titre;
    m_texte->setSource(QUrl::fromLocalFile(fichier));
    // Back at the top when the guide was already shown further down.
    m_texte->verticalScrollBar()->setValue(0);
    m_texte->horizontalScrollBar()->setValue(0);
}

void frmAide::keyPressEvent(QKeyEvent *event)
{
    // Escape closes the window, as it closes a dialog; the reader leaves keys it has no use for.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmAide::suitLien(const QUrl &lien)
{
    // Only pages on the disk beside the guide, or a place in the page itself: the guide must read
    // the same on a desktop that has no program to open the rest.
    const QUrl cible = m_texte->source().resolved(lien);
    if (!cible.isLocalFile() || !QFileInfo(cible.toLocalFile()).isFile())
        return;
    m_texte->setSource(cible);
}

} // namespace tarvenko
