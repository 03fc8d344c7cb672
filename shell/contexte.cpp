#include "shell/contexte.h"

#include "platform/dialog_service.h"

namespace tarvenko {

void Erreur_Fatale(Contexte &ctx, QWidget *parent, const QString &text)
{
    ctx.dialogues.message(parent, {text, QString(), BoutonsMessage::Ok, IconeMessage::None});
    ctx.fin(1);
}

} // namespace tarvenko
