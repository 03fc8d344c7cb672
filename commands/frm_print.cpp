#include "commands/frm_print.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include "ui_frmPrint.h"

namespace tarvenko {

frmPrint::frmPrint(QWidget *parent) : QDialog(parent), m_ui(std::make_unique<Ui::frmPrint>())
{
    m_ui->setupUi(this);
    setModal(false);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - rect().center());
    }
    connect(m_ui->Abord_But, &QPushButton::clicked, this, [this] { m_abandon = true; });
}

frmPrint::~frmPrint() = default;

bool frmPrint::avance(int k, int total)
{
    m_ui->Attente->setMaximum(std::max(0, total - 1));
    m_ui->Attente->setValue(k);
    QCoreApplication::processEvents();
    return !m_abandon;
}

} // namespace tarvenko
