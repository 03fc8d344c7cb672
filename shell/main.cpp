#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

#include "knowledge/key_model.h"
#include "platform/dialog_service.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"
#include "shell/contexte.h"
#include "shell/demarrage.h"
#include "shell/registre.h"

int main(int argc, char **argv)
{
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvenko"));
    QApplication::setOrganizationName(QStringLiteral("Tarvenko"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tarvenko"));

    tarvenko::KeyModel model;
    tarvenko::SettingsStore settings(tarvenko::Valeurs_Sans_Installation());
    tarvenko::QtDialogService dialogs;
    tarvenko::SingleInstance instance;
    tarvenko::Contexte ctx{model, settings, dialogs, instance,
                           [](int code) {
                               std::fflush(nullptr);
                               std::_Exit(code);
                           },
                           {}};

    // The command line as one text, as the program receives it from a shell or a file manager.
    const QStringList arguments = QApplication::arguments().mid(1);
    if (!tarvenko::Main(ctx, arguments.join(QLatin1Char(' '))))
        return 0;
    return QApplication::exec();
}
