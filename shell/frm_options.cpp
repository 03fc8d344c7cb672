#include "shell/frm_options.h"

#include <QKeyEvent>

#include <algorithm>

#include "knowledge/key_model.h"
#include "platform/dialog_service.h"
#include "platform/qt_text.h"
#include "platform/settings_store.h"
#include "shell/contexte.h"
#include "shell/localisation.h"
#include "ui_frmOptions.h"

namespace tarvenko {

namespace {

// The threshold the slider shows when every species is listed.
constexpr int kSeuilDefaut = 70;

const QString kOptions = QStringLiteral("Options");

// A local folder ends with a separator so that the documents code can put the page's folders after
// it. Here that is "/"; a folder written the Windows way, ending with "\", is already complete (the
// documents' paths are resolved with either separator).
QString dossierTermine(const QString &dossier)
{
    if (dossier.endsWith(QLatin1Char('/')) || dossier.endsWith(QLatin1Char('\\')))
        return dossier;
    return dossier + QLatin1Char('/');
}

// The slider's value as the dialog shows it: " 70 %".
QString Texte_Seuil(int valeur) { return QLatin1Char(' ') + QString::number(valeur) + QStringLiteral(" %"); }

} // namespace

frmOptions::frmOptions(Contexte &ctx, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_ui(std::make_unique<Ui::frmOptions>())
{
    m_ui->setupUi(this);
    connect(m_ui->tbsOptions, &QTabWidget::currentChanged, this, &frmOptions::tbsOptions_Click);
    connect(m_ui->Option1, &QRadioButton::clicked, this, &frmOptions::Option1_Click);
    connect(m_ui->Option2, &QRadioButton::clicked, this, &frmOptions::Option2_Click);
    connect(m_ui->Option3, &QRadioButton::clicked, this, [this] { Langue_Click(0); });
    connect(m_ui->Option4, &QRadioButton::clicked, this, [this] { Langue_Click(1); });
    connect(m_ui->Option5, &QRadioButton::clicked, this, [this] { Langue_Click(2); });
    connect(m_ui->Option6, &QRadioButton::clicked, this, &frmOptions::Option6_Click);
    connect(m_ui->Option7, &QRadioButton::clicked, this, &frmOptions::Option7_Click);
    // The value shows while the slider is dragged, too.
    connect(m_ui->Reglage_Valeur, &QSlider::valueChanged, this, &frmOptions::Reglage_Valeur_Change);
    connect(m_ui->Check2, &QCheckBox::toggled, m_ui->Reglage_Ecarts, &QSpinBox::setEnabled);
    connect(m_ui->Command1, &QPushButton::clicked, this, &frmOptions::Command1_Click);
    connect(m_ui->cmdApply, &QPushButton::clicked, this, &frmOptions::cmdApply_Click);
    connect(m_ui->cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(m_ui->cmdCancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
}

frmOptions::~frmOptions() = default;

void frmOptions::Form_Load()
{
    const KeyModel &m = m_ctx.modele;
    Applique_Langue(this, m.Num_Langue);

    // With every species listed the slider keeps its own position.
    if (m.Seuil_Affichage != 0) {
        m_ui->Option1->setChecked(true);
        m_ui->Reglage_Valeur->setEnabled(true);
        m_ui->Reglage_Valeur->setValue(m.Seuil_Affichage);
    } else {
        m_ui->Option2->setChecked(true);
        m_ui->Reglage_Valeur->setEnabled(false);
    }
    Reglage_Valeur_Change();
    m_ui->Check1->setChecked(m.Curseur_Dynamique);
    m_ui->Reglage_Tolerance->setValue(qRound(m.Tolerance_Num));
    // The tolerance of mismatches in force, raised for this session or not.
    m_ecartsMontres = m.Ecarts_Toleres;
    m_ui->Check2->setChecked(m.Ecarts_Toleres >= 0);
    m_ui->Reglage_Ecarts->setValue(std::max<int>(m.Ecarts_Toleres, 0));
    m_ui->Reglage_Ecarts->setEnabled(m.Ecarts_Toleres >= 0);

    m_ui->tbsOptions->setCurrentIndex(0);

    QRadioButton *const langues[] = {m_ui->Option3, m_ui->Option4, m_ui->Option5};
    if (m.Num_Langue >= 0 && m.Num_Langue <= 2)
        langues[m.Num_Langue]->setChecked(true);

    if (qs(m.Distribution) != QLatin1String("hd")) {
        m_ui->httptext->setText(qs(m.Adresse_Documents));
        m_ui->hdtext->clear();
        m_ui->hdtext->setEnabled(false);
        m_ui->Option6->setChecked(true);
    } else {
        m_ui->hdtext->setText(qs(m.Adresse_Documents));
        m_ui->httptext->clear();
        m_ui->httptext->setEnabled(false);
        m_ui->Option7->setChecked(true);
    }
    // A long address shows from its beginning.
    m_ui->httptext->setCursorPosition(0);
    m_ui->hdtext->setCursorPosition(0);
}

void frmOptions::tbsOptions_Click()
{
    // Only the page shown takes part: the others' controls are out of reach of the keyboard.
    const int shown = m_ui->tbsOptions->currentIndex();
    for (int i = 0; i < m_ui->tbsOptions->count(); ++i)
        m_ui->tbsOptions->widget(i)->setEnabled(i == shown);
}

void frmOptions::keyPressEvent(QKeyEvent *event)
{
    Form_KeyDown(event);
    if (!event->isAccepted())
        QDialog::keyPressEvent(event);
}

void frmOptions::Form_KeyDown(QKeyEvent *event)
{
    // Ctrl+Tab and Ctrl+Shift+Tab go round the tabs; Alt does not matter.
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (!tab || !(event->modifiers() & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    const bool arriere = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
    const int count = m_ui->tbsOptions->count();
    m_ui->tbsOptions->setCurrentIndex((m_ui->tbsOptions->currentIndex() + (arriere ? count - 1 : 1)) % count);
    event->accept();
}

void frmOptions::Option1_Click() { m_ui->Reglage_Valeur->setEnabled(true); }

void frmOptions::Option2_Click()
{
    m_ui->Reglage_Valeur->setValue(kSeuilDefaut);
    m_ui->Reglage_Valeur->setEnabled(false);
}

void frmOptions::Reglage_Valeur_Change() { m_ui->Label1->setText(Texte_Seuil(m_ui->Reglage_Valeur->value())); }

void frmOptions::Langue_Click(std::int16_t langue)
{
    // At once: the messages from now on are in the new language. It is stored only by Apply.
    m_ctx.modele.Num_Langue = langue;
}

void frmOptions::Option6_Click()
{
    m_ui->hdtext->setEnabled(false);
    m_ui->httptext->setEnabled(true);
}

void frmOptions::Option7_Click()
{
    m_ui->httptext->setEnabled(false);
    m_ui->hdtext->setEnabled(true);
}

void frmOptions::Command1_Click()
{
    const std::optional<QString> dossier =
        m_ctx.dialogues.dossier(this, texteOuAnglais(m_ctx.modele.Num_Langue, 1112).trimmed(), m_ui->hdtext->text());
    if (!dossier || dossier->isEmpty())
        return;
    // The root folder "/" already ends with its separator.
    m_ui->hdtext->setText(dossierTermine(*dossier));
}

bool frmOptions::Adresse_Remplie()
{
    QLineEdit *texte = m_ui->Option6->isChecked() ? m_ui->httptext : m_ui->hdtext;
    if (!texte->text().trimmed().isEmpty())
        return true;
    // Saved as a lone separator, an empty address would open nothing on a web server and make the
    // whole disk the documents folder. The box to fill shows behind the message.
    m_ui->tbsOptions->setCurrentIndex(2);
    texte->setFocus();
    m_ctx.dialogues.message(this, {texteOuAnglais(m_ctx.modele.Num_Langue, 1079), windowTitle(), BoutonsMessage::Ok,
                                   IconeMessage::Warning});
    return false;
}

bool frmOptions::cmdApply_Click()
{
    KeyModel &m = m_ctx.modele;
    SettingsStore &store = m_ctx.reglages;
    if (!Adresse_Remplie())
        return false;

    m.Seuil_Affichage = m_ui->Option2->isChecked() ? std::int16_t{0}
                                                   : static_cast<std::int16_t>(m_ui->Reglage_Valeur->value());
    store.ecritValeurUtilisateur(kOptions, QStringLiteral("Valeur"), QString::number(m.Seuil_Affichage));

    m.Curseur_Dynamique = m_ui->Check1->isChecked();
    store.ecritValeurUtilisateur(kOptions, QStringLiteral("Curseur"),
                                 m.Curseur_Dynamique ? QStringLiteral("True") : QStringLiteral("False"));

    // A tolerance kept in the settings with decimals stays as it was unless the box changed it.
    if (m_ui->Reglage_Tolerance->value() != qRound(m.Tolerance_Num))
        m.Tolerance_Num = m_ui->Reglage_Tolerance->value();
    store.ecritValeurUtilisateur(kOptions, QStringLiteral("Tolerance"), QString::number(m.Tolerance_Num));

    // Mismatches: -1 hides no species. A tolerance raised for this session is stored only when
    // the user changes what the dialog showed.
    const int ecarts = m_ui->Check2->isChecked() ? m_ui->Reglage_Ecarts->value() : -1;
    if (ecarts != m_ecartsMontres) {
        m.Ecarts_Toleres = static_cast<std::int16_t>(ecarts);
        m_ecartsMontres = m.Ecarts_Toleres;
        store.ecritValeurUtilisateur(kOptions, QStringLiteral("Ecarts"), QString::number(ecarts));
    }

    const bool web = m_ui->Option6->isChecked();
    const QString distribution = web ? QStringLiteral("http") : QStringLiteral("hd");
    store.ecritValeurUtilisateur(kOptions, QStringLiteral("Distribution"), distribution);
    QLineEdit *texte = web ? m_ui->httptext : m_ui->hdtext;
    if (web) {
        if (!texte->text().endsWith(QLatin1Char('/')))
            texte->setText(texte->text() + QLatin1Char('/'));
    } else {
        texte->setText(dossierTermine(texte->text()));
    }
    store.ecritValeurUtilisateur(QStringLiteral("Documents"), QStringLiteral("Adresse"), texte->text());
    m.Adresse_Documents = us(texte->text());
    m.Distribution = us(distribution);

    store.ecritValeurUtilisateur(kOptions, QStringLiteral("Langue"), QString::number(m.Num_Langue));
    return true;
}

void frmOptions::cmdOK_Click()
{
    if (cmdApply_Click())
        accept();
}

void frmOptions::cmdCancel_Click() { reject(); }

} // namespace tarvenko
