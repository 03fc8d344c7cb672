#pragma once

#include <QObject>

#include <memory>

// The test classes of the views' program, one per file; main runs them in turn.
namespace tests_vues {

std::unique_ptr<QObject> listeEspeces();
std::unique_ptr<QObject> barres();
std::unique_ptr<QObject> grilleEtats();
std::unique_ptr<QObject> arbreEspeces();
std::unique_ptr<QObject> listeQuestions();

} // namespace tests_vues
