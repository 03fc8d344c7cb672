#include "platform/dialog_service.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvenko {

namespace {

QMessageBox::Icon qtIcon(IconeMessage icon)
{
    switch (icon) {
    case IconeMessage::Information: return QMessageBox::Information;
    case IconeMessage::Question: return QMessageBox::Question;
    case IconeMessage::Warning: return QMessageBox::Warning;
    case IconeMessage::Critical: return QMessageBox::Critical;
    case IconeMessage::None: break;
    }
    return QMessageBox::NoIcon;
}

QFileDialog::Options fileOptions() { return QFileDialog::Options(); }

} // namespace

ReponseMessage QtDialogService::message(QWidget *parent, const DemandeMessage &request)
{
    QMessageBox box(parent);
    box.setIcon(qtIcon(request.icon));
    box.setWindowTitle(request.title.isEmpty() ? QApplication::applicationDisplayName() : request.title);
    box.setText(request.text);
    switch (request.buttons) {
    case BoutonsMessage::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case BoutonsMessage::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case BoutonsMessage::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return ReponseMessage::Yes;
    case QMessageBox::No: return ReponseMessage::No;
    case QMessageBox::Cancel: return ReponseMessage::Cancel;
    default: break;
    }
    return request.buttons == BoutonsMessage::YesNoCancel ? ReponseMessage::Cancel
           : request.buttons == BoutonsMessage::YesNo     ? ReponseMessage::No
                                                          : ReponseMessage::Ok;
}

std::optional<QString> QtDialogService::fichierAOuvrir(QWidget *parent, const DemandeFichier &request)
{
    const QString path = QFileDialog::getOpenFileName(parent, request.title, request.directory,
                                                      filtreQt(request.filter), nullptr, fileOptions());
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> QtDialogService::fichierAEnregistrer(QWidget *parent, const DemandeFichier &request)
{
    QFileDialog dialog(parent, request.title, request.directory, filtreQt(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.defaultExtension.isEmpty())
        dialog.setDefaultSuffix(request.defaultExtension.startsWith(QLatin1Char('.')) ? request.defaultExtension.mid(1)
                                                                                      : request.defaultExtension);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogService::dossier(QWidget *parent, const QString &title, const QString &start)
{
    const QString path = QFileDialog::getExistingDirectory(parent, title, start);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> QtDialogService::fichierOuDossier(QWidget *parent, const DemandeFichier &request,
                                                        const QString &boutonDossier)
{
    // The toolkit's own dialog, which takes one more button: the platform's dialogs choose
    // either files or folders, never both.
    QFileDialog dialog(parent, request.title, request.directory, filtreQt(request.filter));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    std::optional<QString> dossier;
    if (auto *boutons = dialog.findChild<QDialogButtonBox *>()) {
        QPushButton *bouton = boutons->addButton(boutonDossier, QDialogButtonBox::ActionRole);
        bouton->setObjectName(QStringLiteral("boutonDossier"));
        QObject::connect(bouton, &QPushButton::clicked, &dialog, [&dialog, &dossier] {
            // The folder selected in the list, else the one whose content is shown.
            const QStringList choisis = dialog.selectedFiles();
            const QFileInfo choisi(choisis.isEmpty() ? QString() : choisis.constFirst());
            dossier = choisi.isDir() ? choisi.absoluteFilePath() : dialog.directory().absolutePath();
            static_cast<QDialog &>(dialog).done(QDialog::Accepted);
        });
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    if (dossier)
        return dossier;
    if (dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

bool QtDialogService::imprimante(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void QtDialogService::proprietes(QWidget *parent, const FicheProprietes &fiche)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmProprietes"));
    dialog.setWindowTitle(fiche.title);
    auto *form = new QFormLayout(&dialog);
    form->setSizeConstraint(QLayout::SetFixedSize);
    for (const auto &[label, value] : fiche.lignes) {
        // Values can be selected: a folder is copied more often than it is typed.
        auto *text = new QLabel(value, &dialog);
        text->setTextFormat(Qt::PlainText);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        form->addRow(label, text);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    form->addRow(buttons);
    dialog.exec();
}

std::optional<QList<int>> QtDialogService::choix(QWidget *parent, const DemandeChoix &request)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmChoix"));
    dialog.setWindowTitle(request.title);
    auto *colonne = new QVBoxLayout(&dialog);
    auto *label = new QLabel(request.label, &dialog);
    label->setWordWrap(true);
    colonne->addWidget(label);
    auto *ligneFiltre = new QHBoxLayout;
    auto *filtre = new QLineEdit(&dialog);
    filtre->setClearButtonEnabled(true);
    auto *labelFiltre = new QLabel(request.labelFiltre, &dialog);
    labelFiltre->setBuddy(filtre);
    ligneFiltre->addWidget(labelFiltre);
    ligneFiltre->addWidget(filtre, 1);
    colonne->addLayout(ligneFiltre);
    // Ticked entries stay ticked while the filter hides them.
    auto *liste = new QListWidget(&dialog);
    for (const QString &element : request.elements) {
        auto *item = new QListWidgetItem(element, liste);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
    liste->setMinimumSize(320, 320);
    colonne->addWidget(liste, 1);
    auto *boutons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    colonne->addWidget(boutons);
    QPushButton *ok = boutons->button(QDialogButtonBox::Ok);

    const auto coches = [liste] {
        QList<int> out;
        for (int i = 0; i < liste->count(); ++i)
            if (liste->item(i)->checkState() == Qt::Checked)
                out << i;
        return out;
    };
    const auto verifie = [&] {
        const auto n = coches().size();
        ok->setEnabled(n >= request.minimum && n <= request.maximum);
    };
    verifie();
    QObject::connect(liste, &QListWidget::itemChanged, &dialog, verifie);
    // A click anywhere on the line ticks it, not only on its box.
    QObject::connect(liste, &QListWidget::itemActivated, &dialog, [](QListWidgetItem *item) {
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
    QObject::connect(filtre, &QLineEdit::textChanged, &dialog, [liste](const QString &texte) {
        for (int i = 0; i < liste->count(); ++i)
            liste->item(i)->setHidden(!liste->item(i)->text().contains(texte, Qt::CaseInsensitive));
    });
    QObject::connect(boutons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(boutons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    filtre->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return coches();
}

QString filtreQt(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        // The descriptions already show their patterns; Qt reads the patterns from the last
        // parentheses, so add them only when missing.
        if (!description.contains(QLatin1Char('(')))
            description += QStringLiteral(" (") + patterns + QLatin1Char(')');
        filters << description;
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace tarvenko
