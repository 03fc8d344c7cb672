#include "shell/saisie_num.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QVBoxLayout>

#include <cmath>

#include "platform/qt_text.h"
#include "shell/localisation.h"

namespace tarvenko {

std::optional<double> Lit_Nombre(const QString &texte, const QLocale &locale)
{
    const QString t = texte.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    // A French user may type "3.5" and an English one "3,5": both mean three and a half.
    QString point = t;
    point.replace(QLatin1Char(','), QLatin1Char('.'));
    for (const auto &[chaine, lecteur] : {std::pair{t, locale}, std::pair{t, QLocale::c()}, std::pair{point, QLocale::c()}}) {
        bool ok = false;
        const double v = lecteur.toDouble(chaine, &ok);
        if (ok && std::isfinite(v))
            return v;
    }
    return std::nullopt;
}

QString Ecrit_Nombre(double valeur, const QLocale &locale)
{
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l.toString(valeur, 'g', QLocale::FloatingPointShortest);
}

SaisieNumView::SaisieNumView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Saisie_Num"));
    m_nom = new QLabel(this);
    m_nom->setObjectName(QStringLiteral("Nom_Num"));
    QFont gras = m_nom->font();
    gras.setBold(true);
    gras.setPointSizeF(gras.pointSizeF() * 1.3);
    m_nom->setFont(gras);
    m_nom->setWordWrap(true);
    m_invite = new QLabel(this);
    m_invite->setObjectName(QStringLiteral("Invite_Num"));
    m_valeur = new QLineEdit(this);
    m_valeur->setObjectName(QStringLiteral("Valeur_Num"));
    m_valeur->setMaximumWidth(160);
    m_unite = new QLabel(this);
    m_unite->setObjectName(QStringLiteral("Unite_Num"));
    m_etendue = new QLabel(this);
    m_etendue->setObjectName(QStringLiteral("Etendue_Num"));
    m_etendue->setWordWrap(true);
    m_refus = new QLabel(this);
    m_refus->setObjectName(QStringLiteral("Refus_Num"));
    m_refus->setStyleSheet(QStringLiteral("color: #b00000"));
    m_refus->setWordWrap(true);

    auto *ligne = new QHBoxLayout;
    ligne->addWidget(m_valeur);
    ligne->addWidget(m_unite);
    ligne->addStretch(1);
    auto *colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(24, 24, 24, 24);
    colonne->addWidget(m_nom);
    colonne->addSpacing(12);
    colonne->addWidget(m_invite);
    colonne->addLayout(ligne);
    colonne->addWidget(m_refus);
    colonne->addSpacing(8);
    colonne->addWidget(m_etendue);
    colonne->addStretch(1);
    connect(m_valeur, &QLineEdit::returnPressed, this, &SaisieNumView::valide);
    // A new attempt takes the reason of the last refusal away.
    connect(m_valeur, &QLineEdit::textEdited, m_refus, &QLabel::clear);
}

void SaisieNumView::montre(const Question_Num &q, std::int16_t Num_Langue)
{
    const QLocale locale = localeDeLangue(Num_Langue);
    m_nom->setText(qs(q.nom));
    m_invite->setText(texteOuAnglais(Num_Langue, 1800));
    m_unite->setText(qs(q.unite));
    m_valeur->setText(q.valeur ? Ecrit_Nombre(*q.valeur, locale) : QString());
    m_valeur->selectAll();
    m_refus->clear();
    if (q.etendue) {
        QString etendue = texteOuAnglais(Num_Langue, 1801)
                              .arg(Ecrit_Nombre(q.etendue->minimum, locale), Ecrit_Nombre(q.etendue->maximum, locale));
        if (!q.unite.empty())
            etendue += QLatin1Char(' ') + qs(q.unite);
        m_etendue->setText(etendue);
    } else {
        m_etendue->setText(texteOuAnglais(Num_Langue, 1802));
    }
}

QString SaisieNumView::texte() const { return m_valeur->text(); }

void SaisieNumView::refuse(const QString &message)
{
    m_refus->setText(message);
    m_valeur->setFocus();
    m_valeur->selectAll();
}

} // namespace tarvenko
