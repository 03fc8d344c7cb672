#include "layout/disposition.h"

#include "knowledge/numeric.h"

namespace tarvenko {

namespace {

std::int32_t entier(double value) { return static_cast<std::int32_t>(arrondiPair(value)); }

} // namespace

Disposition Calcule_Disposition(const MesuresFenetre &f, int vue)
{
    Disposition d;
    const std::int32_t toolbar = f.toolbarVisible ? f.toolbarHeight : 0;
    d.H = f.innerHeight - 70 - toolbar - (f.statusBarVisible ? f.statusBarHeight : 0);
    d.L = entier(4.0 * d.H / 3.0);
    d.Hr = d.H;
    d.M = f.innerWidth - 3 * f.robotLeft - f.barreDeterWidth;
    if (d.M < d.L) {
        d.L = d.M;
        d.Hr = entier(3.0 * d.M / 4.0);
    }

    const RectTwips robot{35, 35 + toolbar, d.L, d.Hr};
    const RectTwips small{robot.left, robot.top, entier(d.M / 4.0), entier(3.0 * d.M / 16.0)};
    // The list or tree under the thumbnail, the splitter and the browser to their right.
    const auto column = [&](const RectTwips &list) {
        const RectTwips splitter{list.left + list.width, small.top, f.barreVerticaleWidth, list.height + small.height};
        const RectTwips browser{splitter.left + splitter.width, small.top,
                                f.innerWidth - splitter.left - splitter.width - 35, list.height + small.height};
        d.Barre_Verticale.rect = splitter;
        d.WebTexte.rect = browser;
    };
    const RectTwips list{robot.left, robot.top + small.height, entier(d.M / 4.0), d.H - small.height};
    const RectTwips deter{f.innerWidth - f.barreDeterWidth, f.toolbarHeight + 200, f.barreDeterWidth, 0};
    const RectTwips question{f.innerWidth - f.barreQuestionWidth, f.toolbarHeight + 200, f.barreQuestionWidth, 0};

    switch (vue) {
    case 1:
    case 2:
    case 3:
        d.Robot.rect = robot;
        d.Pic_Choix.rect = robot;
        d.Small_Robot.rect = small;
        d.Liste_Esp.rect = list;
        d.Tree_esp.rect = list;
        column(list);
        d.Barre_Question.rect = question;
        if (vue == 1) {
            d.Robot.visible = true;
            d.Pic_Choix.visible = false;
            d.Barre_Deter.rect = deter;
            d.Barre_Deter.visible = true;
        } else if (vue == 2) {
            d.Robot.visible = true;
            d.Pic_Choix.visible = true;
            d.Barre_Question.visible = true;
        } else {
            d.Barre_Deter.rect = deter;
            d.Small_Robot.visible = true;
            d.Liste_Esp.visible = true;
            d.Barre_Verticale.visible = true;
            d.WebTexte.visible = true;
        }
        break;
    case 4: {
        // The thumbnail stays above the tree, which takes the rest of the column: a tree reaching
        // the top would lie under the thumbnail shown in this view.
        d.Small_Robot.rect = small;
        d.Tree_esp.rect = list;
        column(list);
        d.Barre_Deter.rect = deter;
        d.Barre_Question.rect = question;
        d.Small_Robot.visible = true;
        d.Tree_esp.visible = true;
        d.Barre_Verticale.visible = true;
        d.WebTexte.visible = true;
        break;
    }
    default: break;
    }

    d.Resultat = Rect_Resultat(f);
    return d;
}

RectTwips Rect_Resultat(const MesuresFenetre &f)
{
    return {f.panel1Width + entier(2 * f.twipsPerPixelX), f.innerHeight - f.statusBarHeight + entier(2 * f.twipsPerPixelY),
            f.panel2Width, f.statusBarHeight - entier(2 * f.twipsPerPixelY)};
}

} // namespace tarvenko
