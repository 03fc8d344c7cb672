#include "shell/demarrage.h"

#include <QApplication>

#include "knowledge/key_model.h"
#include "layout/arrange_fenetre.h"
#include "shell/contexte.h"
#include "shell/frm_main.h"
#include "platform/qt_text.h"
#include "shell/frm_splash.h"
#include "shell/localisation.h"
#include "shell/registre.h"

namespace tarvenko {

frmMain *Main(Contexte &ctx, const QString &ligneCommande, const QString &cle)
{
    KeyModel &m = ctx.modele;
    m.Num_Langue = Langue_Demarrage(ctx.reglages);
    m.Suffixe_Langue = (m.Num_Langue >= 0 && m.Num_Langue <= 2) ? "_en" : "";

    auto *main = new frmMain(ctx);
    main->setAttribute(Qt::WA_DeleteOnClose);
    frmSplash splash(ctx, main);
    const bool chartLoaded = splash.Form_Load();
    splash.centre();
    splash.show();
    splash.repaint();
    QCoreApplication::processEvents();
    // Without the colour chart the drawing's parts cannot be told apart by colour. Only a key
    // with colours needs it, which its database says: a key without a drawing has none.
    bool nuancierManquant = false;
    ctx.echantillonnePalette = [&](KeyModel &model) {
        if (chartLoaded) {
            splash.Echantillonne(model);
        } else if (model.Nb_Couleurs > 0 && !nuancierManquant) {
            nuancierManquant = true;
            Erreur_Fatale(ctx, &splash, texteOuAnglais(m.Num_Langue, 1077) + QStringLiteral(" Fichier : ") +
                                             qs(splash.cheminNuancier()));
        }
    };

    if (!main->Form_Load(ligneCommande, cle) || nuancierManquant) {
        ctx.echantillonnePalette = nullptr;
        delete main;
        return nullptr;
    }
    m.Vue_Courante = 1;
    Place_Sur_Bureau(main);
    main->Arrange_Fenetre();
    ctx.echantillonnePalette = nullptr;
    splash.close();
    return main;
}

Arguments_Programme Lit_Arguments(const QStringList &arguments)
{
    Arguments_Programme a;
    QStringList reste;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--key")) {
            a.cle = arguments.value(++i);
        } else if (argument.startsWith(QLatin1String("--key="))) {
            a.cle = argument.mid(6);
        } else {
            reste << argument;
        }
    }
    a.ligneCommande = reste.join(QLatin1Char(' '));
    return a;
}

void Identite_Application()
{
    QApplication::setApplicationName(QStringLiteral("Tarvenko"));
    QApplication::setOrganizationName(QStringLiteral("Tarvenko"));
    // The installed menu entry (tarvenko.desktop), by which desktops group the windows and find the icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tarvenko"));
}

} // namespace tarvenko
