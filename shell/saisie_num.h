#pragma once

#include <QWidget>

#include <optional>

#include "engine/numeric_characters.h"

class QLabel;
class QLineEdit;
class QLocale;

namespace tarvenko {

// The number typed for a numeric character: in the interface language's way of writing numbers,
// else with a point or a comma before the decimals. Nothing for an empty text, text that is no
// number, or a number too large to hold.
std::optional<double> Lit_Nombre(const QString &texte, const QLocale &locale);

// A number as the interface language writes it, without trailing zeros.
QString Ecrit_Nombre(double valeur, const QLocale &locale);

// The question of a numeric character, shown where the state pictures go: its name, an entry
// for the number with the unit after it, and the values the species in the lead have.
class SaisieNumView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SaisieNumView)

public:
    explicit SaisieNumView(QWidget *parent = nullptr);

    // Shows question `q`; its texts in language `Num_Langue`, the answer given (if any) in the entry.
    void montre(const Question_Num &q, std::int16_t Num_Langue);
    QString texte() const;
    // Says under the entry why the text was refused, and puts the cursor back in it.
    void refuse(const QString &message);
    QLineEdit *entree() const { return m_valeur; }

Q_SIGNALS:
    // Enter pressed in the entry: the same as the validate button.
    void valide();

private:
    QLabel *m_nom = nullptr;
    QLabel *m_invite = nullptr;
    QLineEdit *m_valeur = nullptr;
    QLabel *m_unite = nullptr;
    QLabel *m_etendue = nullptr;
    QLabel *m_refus = nullptr;
};

} // namespace tarvenko
