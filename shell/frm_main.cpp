#include "shell/frm_main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>

#include "engine/answering.h"
#include "knowledge/key_model.h"
#include "knowledge/loader.h"
#include "platform/dialog_service.h"
#include "platform/qt_text.h"
#include "platform/single_instance.h"
#include "shell/contexte.h"
#include "shell/localisation.h"
#include "shell/registre.h"
#include "ui_frmMain.h"

// Resources of a static library must be registered by name, outside any namespace.
static void initialiseRessources() { Q_INIT_RESOURCE(icons); }

namespace tarvenko {

namespace {

const char *const kKey = "Key";

} // namespace

QString Nettoie_Ligne_Commande(QString ligne)
{
    if (ligne.startsWith(QLatin1Char('"')))
        ligne = ligne.mid(1, ligne.size() - 2);
    return ligne;
}

frmMain::frmMain(Contexte &ctx, QWidget *parent)
    : QMainWindow(parent), m_ctx(ctx), m_ui(std::make_unique<Ui::frmMain>())
{
    initialiseRessources();
    m_ui->setupUi(this);
    m_panneau1 = new QLabel(this);
    m_panneau1->setObjectName(QStringLiteral("sbPanel1"));
    m_ui->sbStatusBar->addWidget(m_panneau1, 1);
    m_ui->sbStatusBar->addPermanentWidget(m_ui->Resultat);
    m_ui->Resultat->setMinimumWidth(260);
    auto *resultLayout = new QHBoxLayout(m_ui->Resultat);
    resultLayout->setContentsMargins(4, 0, 4, 0);
    resultLayout->addWidget(m_ui->Legende);

    // Provisional arrangement of the panes until the views are built: the species list beside the
    // drawing.
    auto *layout = new QHBoxLayout(m_ui->centralWidget);
    layout->addWidget(m_ui->Liste_Esp, 1);
    layout->addWidget(m_ui->Robot, 3);
    for (QWidget *pane : {static_cast<QWidget *>(m_ui->Pic_Choix), static_cast<QWidget *>(m_ui->Small_Robot),
                          static_cast<QWidget *>(m_ui->Tree_esp), static_cast<QWidget *>(m_ui->Barre_Verticale),
                          m_ui->WebTexte, static_cast<QWidget *>(m_ui->Barre_Deter),
                          static_cast<QWidget *>(m_ui->Barre_Question)})
        pane->hide();
    installeIcones();
    connecteCommandes();
}

frmMain::~frmMain() = default;

KeyModel &frmMain::modele() { return m_ctx.modele; }
bool frmMain::Modifie() const { return m_ctx.modele.Modifie; }

void frmMain::installeIcones()
{
    for (QAction *action : m_ui->tbToolBar->actions()) {
        const QString name = action->property("themeIcon").toString();
        if (!name.isEmpty())
            action->setIcon(QIcon::fromTheme(name, QIcon(QStringLiteral(":/icons/%1.svg").arg(name))));
    }
}

void frmMain::connecteCommandes()
{
    for (QAction *action : m_ui->tbToolBar->actions()) {
        if (action->isSeparator())
            continue;
        connect(action, &QAction::triggered, this,
                [this, action] { Traiter_Fichier(action->property(kKey).toString(), QString()); });
    }
    const auto command = [this](QAction *action, const char *word) {
        connect(action, &QAction::triggered, this, [this, word] { Traiter_Fichier(QString::fromLatin1(word), QString()); });
    };
    command(m_ui->mnuFileNew, "New");
    command(m_ui->mnuFileOpen, "Open");
    command(m_ui->mnuFileSave, "Save");
    command(m_ui->mnuFileSaveAs, "Save");
    command(m_ui->mnuFilePrint, "Print");
    command(m_ui->mnuEditCopy, "Copy");
    connect(m_ui->mnuFileExit, &QAction::triggered, this, &QWidget::close);
    connect(m_ui->mnuEditIconize, &QAction::triggered, this, &QWidget::showMinimized);
}

QAction *frmMain::boutonBarre(int position) const
{
    const QList<QAction *> actions = m_ui->tbToolBar->actions();
    if (position < 1 || position > actions.size())
        return nullptr;
    return actions[position - 1];
}

void frmMain::Active_Bouton(const QString &Cle)
{
    for (QAction *action : m_ui->tbToolBar->actions()) {
        if (action->property(kKey).toString() == Cle) {
            action->setEnabled(true);
            return;
        }
    }
}

void frmMain::Desactive_Bouton(const QString &Cle)
{
    for (QAction *action : m_ui->tbToolBar->actions()) {
        if (action->property(kKey).toString() == Cle) {
            action->setEnabled(false);
            return;
        }
    }
}

bool frmMain::Form_Load(const QString &ligneCommande)
{
    KeyModel &m = m_ctx.modele;
    const auto message = [&](const QString &text, const QString &title, BoutonsMessage buttons, IconeMessage icon) {
        return m_ctx.dialogues.message(this, {text, title, buttons, icon});
    };

    Applique_Langue(this, m.Num_Langue);
    Desactive_Bouton(QStringLiteral("Copy"));
    m.Modifie = false;
    m_Liste_Focus = false;
    m.Index_Document = 0;

    if (m_ctx.instance.autreInstance()) {
        const QString title = texteOuAnglais(m.Num_Langue, 1050);
        if (message(texteOuAnglais(m.Num_Langue, 1067), title, BoutonsMessage::YesNo, IconeMessage::Warning)
            != ReponseMessage::Yes) {
            m_ctx.fin(0);
            return false;
        }
        message(texteOuAnglais(m.Num_Langue, 1068), title, BoutonsMessage::Ok, IconeMessage::Information);
    }

    Lit_Registre(m, m_ctx.reglages);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ResultatChargement loaded = Charge_Connaissances(m, [this](KeyModel &model) {
        if (m_ctx.echantillonnePalette)
            m_ctx.echantillonnePalette(model);
        QCoreApplication::processEvents();
    });
    QApplication::restoreOverrideCursor();

    using Etat = ResultatChargement::Etat;
    const QString title = texteOuAnglais(m.Num_Langue, 1050);
    switch (loaded.etat) {
    case Etat::Ok: break;
    case Etat::BaseInaccessible:
        Erreur_Fatale(m_ctx, this, qs(Message_Base_Inaccessible(m.Chemin_Base, loaded.erreur.numero)));
        return false;
    case Etat::PoidsInaccessible:
    case Etat::MatriceInaccessible:
        Erreur_Fatale(m_ctx, this, qs(loaded.chemin));
        return false;
    case Etat::PoidsIllisible:
    case Etat::MatriceIllisible:
        message(texteOuAnglais(m.Num_Langue, loaded.etat == Etat::PoidsIllisible ? 1069 : 1070), title,
                BoutonsMessage::Ok, IconeMessage::None);
        m_ctx.fin(1);
        return false;
    }

    m_ui->Liste_Esp->clear();
    for (const std::string &line : loaded.lignesListe)
        m_ui->Liste_Esp->addItem(qs(line));

    Nettoye(m);
    Actualise_Identification();

    m_ui->mnuFileSave->setEnabled(false);
    m_ui->mnuFileSaveAs->setEnabled(false);
    Desactive_Bouton(QStringLiteral("Save"));
    m.Modifie = false;
    m_ui->Robot->update();

    Charge_Barre_Deter();
    Charge_Barre_Question();
    QCoreApplication::processEvents();

    m.Titre_Fenetre = us(windowTitle());

    if (!ligneCommande.isEmpty())
        Traiter_Fichier(QStringLiteral("Open"), Nettoie_Ligne_Commande(ligneCommande));
    return true;
}

void frmMain::Actualise_Identification()
{
    // Marking as modified; the re-scoring and the refresh of the views come with the engine.
    KeyModel &m = m_ctx.modele;
    if (m.Modifie)
        return;
    Active_Bouton(QStringLiteral("Save"));
    m_ui->mnuFileSaveAs->setEnabled(true);
    if (!m.Fichier_Courant.empty())
        m_ui->mnuFileSave->setEnabled(true);
    m.Modifie = true;
}

void frmMain::Charge_Barre_Deter() {}
void frmMain::Charge_Barre_Question() {}
void frmMain::Traiter_Fichier(const QString &, const QString &) {}
void frmMain::Exec_Save() {}
void frmMain::Arrange_Fenetre() {}

void frmMain::Form_QueryUnload(bool &cancel)
{
    KeyModel &m = m_ctx.modele;
    const QString title = windowTitle();
    if (m_ctx.dialogues.message(this, {texteOuAnglais(m.Num_Langue, 1071), title, BoutonsMessage::YesNo,
                                       IconeMessage::Question})
        != ReponseMessage::Yes) {
        cancel = true;
        return;
    }
    if (!m.Modifie)
        return;
    switch (m_ctx.dialogues.message(this, {texteOuAnglais(m.Num_Langue, 1072), title, BoutonsMessage::YesNoCancel,
                                           IconeMessage::Warning})) {
    case ReponseMessage::Cancel: cancel = true; return;
    case ReponseMessage::Yes: Exec_Save(); return;
    default: return;
    }
}

void frmMain::Form_Unload()
{
    // Every other window of the program goes with the main one.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (qsizetype i = windows.size() - 1; i >= 0; --i) {
        if (windows[i] != this)
            windows[i]->close();
    }
}

void frmMain::closeEvent(QCloseEvent *event)
{
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

} // namespace tarvenko
