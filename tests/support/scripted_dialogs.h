#pragma once

#include <QPrinter>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

#include "platform/dialog_service.h"

namespace tarvenko::test {

// Answers the program's dialogs from a script and remembers what they showed. A message with no
// scripted answer gets the first button (OK or Yes); a file dialog with none is cancelled.
class ScriptedDialogs final : public DialogService {
public:
    std::deque<ReponseMessage> reponses;
    std::deque<QString> fichiers;
    std::vector<DemandeMessage> messages;
    std::vector<DemandeFichier> demandesFichier;
    // Runs while a file dialog is open, as events the user causes meanwhile would.
    std::function<void()> pendantFichier;

    ReponseMessage message(QWidget *, const DemandeMessage &request) override
    {
        messages.push_back(request);
        if (reponses.empty())
            return request.buttons == BoutonsMessage::Ok ? ReponseMessage::Ok : ReponseMessage::Yes;
        const ReponseMessage answer = reponses.front();
        reponses.pop_front();
        return answer;
    }
    std::optional<QString> fichierAOuvrir(QWidget *, const DemandeFichier &request) override { return nextFile(request); }
    std::optional<QString> fichierAEnregistrer(QWidget *, const DemandeFichier &request) override
    {
        return nextFile(request);
    }
    // A folder choice is recorded with its title and its starting folder in `directory`.
    std::optional<QString> dossier(QWidget *, const QString &title, const QString &start) override
    {
        return nextFile(DemandeFichier{title, {}, {}, {}, start});
    }
    // The print dialog: prints into `pdf` when set, else is cancelled.
    QString pdf;
    int copies = 1;
    int impressions = 0;
    bool imprimante(QWidget *, QPrinter &printer) override
    {
        ++impressions;
        if (pdf.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setCopyCount(copies);
        return true;
    }

    std::vector<FicheProprietes> fiches;
    void proprietes(QWidget *, const FicheProprietes &fiche) override { fiches.push_back(fiche); }

    // A choice among entries: the next scripted positions, else cancelled.
    std::deque<QList<int>> choisis;
    std::vector<DemandeChoix> demandesChoix;
    std::optional<QList<int>> choix(QWidget *, const DemandeChoix &request) override
    {
        demandesChoix.push_back(request);
        if (choisis.empty())
            return std::nullopt;
        QList<int> out = choisis.front();
        choisis.pop_front();
        return out;
    }

    QStringList textes() const
    {
        QStringList out;
        for (const DemandeMessage &m : messages)
            out << m.text;
        return out;
    }

private:
    std::optional<QString> nextFile(const DemandeFichier &request)
    {
        demandesFichier.push_back(request);
        if (pendantFichier)
            pendantFichier();
        if (fichiers.empty())
            return std::nullopt;
        QString path = fichiers.front();
        fichiers.pop_front();
        return path;
    }
};

} // namespace tarvenko::test
