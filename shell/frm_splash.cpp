#include "shell/frm_splash.h"

#include <QGuiApplication>
#include <QVBoxLayout>
#include <QMouseEvent>
#include <QScreen>

#include "knowledge/key_model.h"
#include "knowledge/palette.h"
#include "knowledge/file_lookup.h"
#include "platform/metafile/metafile_view.h"
#include "platform/qt_text.h"
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
    auto *layout = new QVBoxLayout(m_ui->picLogo);
    layout->setContentsMargins(0, 0, 0, 0);
    m_logo = new MetafileView(m_ui->picLogo);
    m_logo->setObjectName(QStringLiteral("picLogoImage"));
    m_logo->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(m_logo);
    setStyleSheet(QStringLiteral("QDialog#frmSplash { background: #fbfaf4; border: 1px solid #7a8f5a; }"));
}

frmSplash::~frmSplash() = default;

QWidget *frmSplash::picLogo() const { return m_ui->picLogo; }

bool frmSplash::Form_Load(QString *erreur)
{
    Applique_Langue(this, m_ctx.modele.Num_Langue);
    m_cheminNuancier = Chemin_Nuancier(m_ctx.reglages);
    const auto chart = Metafile::load(qs(resoutChemin(m_cheminNuancier)), erreur);
    if (!chart)
        return false;
    m_logo->setMetafile(*chart);
    return true;
}

void frmSplash::Echantillonne(KeyModel &m) const
{
    const QImage shown = m_logo->renderExact();
    Echantillonne_Palette(m, shown.width(), shown.height(), [&shown](int x, int y) -> std::int32_t {
        if (!shown.valid(x, y))
            return 0;
        const QRgb rgb = shown.pixel(x, y);
        return qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16);
    });
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
