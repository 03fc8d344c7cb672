#include <QApplication>
#include <QTest>

#include "tests_vues.h"

// As QTEST_MAIN does for one class, for every class of the views' tests: the program fails when
// any of them does.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi);
    int echecs = 0;
    for (const auto fabrique : {tests_vues::listeEspeces, tests_vues::barres, tests_vues::grilleEtats, tests_vues::arbreEspeces,
                            tests_vues::listeQuestions}) {
        const std::unique_ptr<QObject> tests = fabrique();
        echecs += QTest::qExec(tests.get(), argc, argv);
    }
    return echecs == 0 ? 0 : 1;
}
