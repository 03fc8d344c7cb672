#include "shell/frm_splash.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include "knowledge/key_model.h"
#include "shell/contexte.h"
#include "shell/localisation.h"
#include "shell/registre.h"
#include "ui_frmSplash.h"

namespace tarvenko {

frmSplash::frmSplash(Contexte &ctx, QWidget *mainWindow, QWidget *parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_ctx(ctx), m_mainWindow(mainWindow),
      m_ui(std::make_unique<Ui::frmSplash>())
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("frmSplash"));
    m_ui->picLogo->installEventFilter(this);
    setStyleSheet(QStringLiteral("QDialog#frmSplash { background: #fbfaf4; border: 1px solid #7a8f5a; }"));
}

frmSplash::~frmSplash() = default;

QWidget *frmSplash::picLogo() const { return m_ui->picLogo; }

void frmSplash::Form_Load()
{
    Applique_Langue(this, m_ctx.modele.Num_Langue);
    m_cheminNuancier = Chemin_Nuancier(m_ctx.reglages);
}

void frmSplash::centre()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
}

void frmSplash::Form_Click()
{
    // A click while the program is still loading does not close the splash.
    if (m_mainWindow && m_mainWindow->isVisible())
        close();
}

void frmSplash::mousePressEvent(QMouseEvent *event)
{
    QDialog::mousePressEvent(event);
    Form_Click();
}

bool frmSplash::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->picLogo && event->type() == QEvent::MouseButtonPress)
        Form_Click();
    return QDialog::eventFilter(watched, event);
}

} // namespace tarvenko
