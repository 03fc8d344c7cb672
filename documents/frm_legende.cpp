#include "documents/frm_legende.h"

#include <QPainter>

#include "ui_frmLegende.h"

namespace tarvenko {

namespace {

constexpr int kFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs;

} // namespace

frmLegende::frmLegende(QWidget *parent) : QWidget(parent), m_ui(std::make_unique<Ui::frmLegende>())
{
    m_ui->setupUi(this);
    // A tool window of the main window: above it, and gone with it.
    setWindowFlags(Qt::Tool);
}

frmLegende::~frmLegende() = default;

void frmLegende::Affiche(const QString &titre, const QString &texte)
{
    setWindowTitle(titre);
    m_texte = texte;
    const QFontMetrics fm = fontMetrics();
    const QRect large = fm.boundingRect(QRect(0, 0, 100000, 100000), kFlags, QStringLiteral("  ") + texte);
    const QRect haut = fm.boundingRect(QRect(0, 0, 100000, 100000), kFlags, texte);
    resize(large.width() + 3, haut.height() + 2);
    update();
}

void frmLegende::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawText(rect(), kFlags, m_texte);
}

} // namespace tarvenko
