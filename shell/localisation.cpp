#include "shell/localisation.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QWidget>

#include <algorithm>

#include "knowledge/numeric.h"
#include "platform/qt_text.h"
#include "resources/string_table.h"

namespace tarvenko {

namespace {

const char *const kTag = "tag";

// The number a property held before its first localisation, kept on the object under these names
// so that the window can be localised again in another language.
const char *const kNumeroTexte = "tarvenko_numero_texte";
const char *const kNumeroBulle = "tarvenko_numero_bulle";
const char *const kNumeroBulleOnglet = "tarvenko_numero_bulle_onglet";
const char *const kNumeroNom = "tarvenko_numero_nom";
const char *const kPoliceDessin = "tarvenko_police_dessin";

double numeroDe(const QString &text) { return valeurNumerique(us(text)); }

QString tagOf(const QObject *object) { return object->property(kTag).toString(); }

// The string number behind a property whose value is `actuel` now: the one kept by an earlier
// pass, else `actuel` itself, kept for the next pass when it is a number of the design (digits
// only: a text the program set, such as "5 lobes", is never taken for one).
QString numeroGarde(QObject *object, const char *nom, const QString &actuel)
{
    const QVariant garde = object->property(nom);
    if (garde.isValid())
        return garde.toString();
    const QString t = actuel.trimmed();
    if (!t.isEmpty() && std::all_of(t.begin(), t.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        object->setProperty(nom, actuel);
    return actuel;
}

// True when `actuel` is the number `numero` itself or its text in one of the languages.
bool nomDuDessin(const QString &actuel, const QString &numero)
{
    if (actuel == numero)
        return true;
    for (std::int16_t langue = 0; langue <= 2; ++langue) {
        if (const auto text = texteDe(langue, numero); text && *text == actuel)
            return true;
    }
    return false;
}

bool isToolBarAction(const QAction *action)
{
    const auto objects = action->associatedObjects();
    return std::any_of(objects.begin(), objects.end(), [](QObject *o) { return qobject_cast<QToolBar *>(o); });
}

// Controls of other kinds: the number in the tag sets the caption, the one in the tool tip the
// tool tip, each only when above 0.
void localiseOther(QWidget *widget, std::int16_t langue)
{
    if (numeroDe(tagOf(widget)) > 0) {
        if (const auto text = texteDe(langue, tagOf(widget))) {
            if (auto *button = qobject_cast<QAbstractButton *>(widget))
                button->setText(*text);
            else if (auto *group = qobject_cast<QGroupBox *>(widget))
                group->setTitle(*text);
            else
                widget->setWindowTitle(*text);
        }
    }
    const QString bulle = numeroGarde(widget, kNumeroBulle, widget->toolTip());
    if (numeroDe(bulle) > 0) {
        if (const auto text = texteDe(langue, bulle))
            widget->setToolTip(*text);
    }
}

} // namespace

std::optional<QString> texte(std::int16_t Num_Langue, int n)
{
    // Only English numbers name texts; anything else (0 for a text without a number) has none.
    if (n < 1000 || n > 1999)
        return std::nullopt;
    if (const auto text = Texte(Num_Langue, n))
        return qs(*text);
    return std::nullopt;
}

std::optional<QString> texteDe(std::int16_t Num_Langue, const QString &numero)
{
    const auto n = enEntier32(numeroDe(numero));
    if (!n)
        return std::nullopt;
    return texte(Num_Langue, *n);
}

QString texteOuAnglais(std::int16_t Num_Langue, int n) { return qs(Texte_Ou_Anglais(Num_Langue, n)); }

QLocale localeDeLangue(std::int16_t Num_Langue)
{
    switch (Num_Langue) {
    case 1: return QLocale(QLocale::Spanish, QLocale::Spain);
    case 2: return QLocale(QLocale::French, QLocale::France);
    default: return QLocale(QLocale::English, QLocale::UnitedKingdom);
    }
}

void Applique_Langue(QWidget *window, std::int16_t Num_Langue)
{
    if (const auto title = texteDe(Num_Langue, tagOf(window)))
        window->setWindowTitle(*title);

    // Each pass starts from the font of the design, so that a language without a size of its own
    // does not keep the size of the one before.
    if (!window->property(kPoliceDessin).isValid())
        window->setProperty(kPoliceDessin, window->font());
    QFont font = window->property(kPoliceDessin).value<QFont>();
    if (const auto name = texte(Num_Langue, 1200))
        font.setFamily(*name);
    if (const auto size = texte(Num_Langue, 1201)) {
        if (const auto points = enEntier16(numeroDe(*size)); points && *points > 0)
            font.setPointSize(*points);
    }
    window->setFont(font);

    for (QObject *object : window->findChildren<QObject *>()) {
        // Whatever its type, a control's accessible name may be a number too: screen readers
        // name it in the interface language.
        if (auto *widget = qobject_cast<QWidget *>(object)) {
            // Only a name that is still the design's: a view that names what it shows (the grid
            // names the state under its outline) keeps its own.
            if (const QString nom = numeroGarde(widget, kNumeroNom, widget->accessibleName());
                numeroDe(nom) > 0 && nomDuDessin(widget->accessibleName(), nom)) {
                if (const auto text = texteDe(Num_Langue, nom))
                    widget->setAccessibleName(*text);
            }
        }
        if (auto *action = qobject_cast<QAction *>(object)) {
            // A menu's own action carries its title: the menu itself is localised below.
            if (action->isSeparator() || action->menu())
                continue;
            if (const auto text = texteDe(Num_Langue, numeroGarde(action, kNumeroTexte, action->text())))
                action->setText(*text);
            if (isToolBarAction(action)) {
                if (const auto tip = texteDe(Num_Langue, numeroGarde(action, kNumeroBulle, action->toolTip())))
                    action->setToolTip(*tip);
            }
        } else if (auto *menu = qobject_cast<QMenu *>(object)) {
            if (const auto text = texteDe(Num_Langue, numeroGarde(menu, kNumeroTexte, menu->title())))
                menu->setTitle(*text);
        } else if (auto *label = qobject_cast<QLabel *>(object)) {
            if (const auto text = texteDe(Num_Langue, tagOf(label)))
                label->setText(*text);
        } else if (auto *tabs = qobject_cast<QTabWidget *>(object)) {
            for (int i = 0; i < tabs->count(); ++i) {
                if (const auto text = texteDe(Num_Langue, tagOf(tabs->widget(i))))
                    tabs->setTabText(i, *text);
                if (const auto tip = texteDe(Num_Langue, numeroGarde(tabs->widget(i), kNumeroBulleOnglet, tabs->tabToolTip(i))))
                    tabs->setTabToolTip(i, *tip);
            }
        } else if (auto *tree = qobject_cast<QTreeWidget *>(object)) {
            const QStringList tags = tree->property(kTag).toString().split(QLatin1Char(','));
            QTreeWidgetItem *header = tree->headerItem();
            for (int column = 0; header && column < header->columnCount() && column < tags.size(); ++column) {
                if (const auto text = texteDe(Num_Langue, tags[column]))
                    header->setText(column, *text);
            }
        } else if (auto *widget = qobject_cast<QWidget *>(object)) {
            if (!qobject_cast<QToolBar *>(widget) && !widget->inherits("QMenuBar"))
                localiseOther(widget, Num_Langue);
        }
    }
}

} // namespace tarvenko
