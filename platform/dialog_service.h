#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

class QPrinter;
class QWidget;

namespace tarvenko {

enum class BoutonsMessage { Ok, YesNo, YesNoCancel };
enum class IconeMessage { None, Information, Question, Warning, Critical };
enum class ReponseMessage { Ok, Yes, No, Cancel };

struct DemandeMessage {
    QString text;
    QString title; // empty: the application's default title
    BoutonsMessage buttons = BoutonsMessage::Ok;
    IconeMessage icon = IconeMessage::None;
};

struct DemandeFichier {
    QString title;
    QString filter;      // "Description|pattern|Description|pattern", as in the string table
    QString initialName; // "*.ryk"
    QString defaultExtension;
    QString directory;
};

// Facts shown as a form, one label and its value a row, with only an OK button.
struct FicheProprietes {
    QString title;
    std::vector<std::pair<QString, QString>> lignes;
};

// Some entries of a list to choose: between `minimum` and `maximum` of them, found by typing
// part of their text.
struct DemandeChoix {
    QString title;
    QString label;
    QString labelFiltre; // before the entry that narrows the list
    QStringList elements;
    int minimum = 1;
    int maximum = 1;
};

// Every modal dialog of the program goes through one of these, so that tests can answer them.
class DialogService {
public:
    virtual ~DialogService() = default;

    virtual ReponseMessage message(QWidget *parent, const DemandeMessage &request) = 0;
    // Chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> fichierAOuvrir(QWidget *parent, const DemandeFichier &request) = 0;
    virtual std::optional<QString> fichierAEnregistrer(QWidget *parent, const DemandeFichier &request) = 0;
    virtual std::optional<QString> dossier(QWidget *parent, const QString &title, const QString &start) = 0;
    // A file, or a folder, to open: a key lies in either. `boutonDossier` is the text of the
    // button that takes the folder shown. By default, a file dialog.
    virtual std::optional<QString> fichierOuDossier(QWidget *parent, const DemandeFichier &request,
                                                    const QString &boutonDossier)
    {
        (void)boutonDossier;
        return fichierAOuvrir(parent, request);
    }
    // The print dialog: sets up `printer` (device, copies...); false when the user cancelled.
    virtual bool imprimante(QWidget *parent, QPrinter &printer) = 0;
    virtual void proprietes(QWidget *parent, const FicheProprietes &fiche) = 0;
    // The positions in `elements` of the entries chosen, in the list's order; nothing when the
    // user cancelled. By default, cancelled.
    virtual std::optional<QList<int>> choix(QWidget *parent, const DemandeChoix &request)
    {
        (void)parent;
        (void)request;
        return std::nullopt;
    }
};

// The dialogs a person answers.
class QtDialogService final : public DialogService {
public:
    ReponseMessage message(QWidget *parent, const DemandeMessage &request) override;
    std::optional<QString> fichierAOuvrir(QWidget *parent, const DemandeFichier &request) override;
    std::optional<QString> fichierAEnregistrer(QWidget *parent, const DemandeFichier &request) override;
    std::optional<QString> dossier(QWidget *parent, const QString &title, const QString &start) override;
    std::optional<QString> fichierOuDossier(QWidget *parent, const DemandeFichier &request,
                                            const QString &boutonDossier) override;
    bool imprimante(QWidget *parent, QPrinter &printer) override;
    void proprietes(QWidget *parent, const FicheProprietes &fiche) override;
    std::optional<QList<int>> choix(QWidget *parent, const DemandeChoix &request) override;
};

// "Files (*.ryk)|*.ryk|All (*.*)|*.*" as a Qt name filter list: "Files (*.ryk);;All (*.*)".
QString filtreQt(const QString &filter);

} // namespace tarvenko
