#include "layout/barre_verticale.h"

#include <algorithm>
#include <cstdlib>

#include "knowledge/numeric.h"

namespace tarvenko {

namespace {

std::int32_t entier(double value) { return static_cast<std::int32_t>(arrondiPair(value)); }

} // namespace

ColonneGauche Depose_Barre(ColonneGauche c, std::int32_t largeurFenetre, std::int32_t largeurInterieure)
{
    if (c.barreLeft >= largeurFenetre / 2.0)
        c.barreLeft = entier(largeurFenetre / 2.0);
    std::int32_t p = c.barreLeft;
    const std::int32_t w = c.barreWidth, s = largeurInterieure;
    if (p < w) {
        p = w;
        c.barreLeft = w;
    } else if (p > s) {
        p = s - w;
        c.barreLeft = s - w;
    }
    c.Small_Robot.width = std::abs(p - c.Tree_esp.left);
    c.Small_Robot.height = entier(c.Small_Robot.width * 3 / 4.0);
    c.Tree_esp.top = c.Liste_Esp.top = c.Small_Robot.top + c.Small_Robot.height;
    c.Tree_esp.width = std::abs(p - c.Tree_esp.left);
    c.Liste_Esp.width = std::abs(p - c.Liste_Esp.left);
    c.Tree_esp.height = c.Liste_Esp.height = std::max(0, c.WebTexte.height - c.Small_Robot.height);
    c.WebTexte.left = p + w;
    c.WebTexte.width = std::max(0, std::abs(s - p - w) - 35);
    return c;
}

void Garde_Proportion(Disposition &d, double proportion, std::int32_t largeurFenetre, std::int32_t largeurInterieure)
{
    if (!d.Barre_Verticale.rect || !d.Small_Robot.rect || !d.Tree_esp.rect || !d.WebTexte.rect)
        return;
    ColonneGauche c;
    c.barreLeft = entier(proportion * largeurInterieure);
    c.barreWidth = d.Barre_Verticale.rect->width;
    c.Small_Robot = *d.Small_Robot.rect;
    c.Tree_esp = *d.Tree_esp.rect;
    c.Liste_Esp = d.Liste_Esp.rect.value_or(c.Tree_esp);
    c.WebTexte = *d.WebTexte.rect;
    c = Depose_Barre(c, largeurFenetre, largeurInterieure);
    d.Barre_Verticale.rect->left = c.barreLeft;
    d.Small_Robot.rect = c.Small_Robot;
    d.Tree_esp.rect = c.Tree_esp;
    if (d.Liste_Esp.rect)
        d.Liste_Esp.rect = c.Liste_Esp;
    d.WebTexte.rect = c.WebTexte;
}

} // namespace tarvenko
