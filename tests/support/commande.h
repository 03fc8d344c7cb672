#pragma once

#include <cstdio>
#include <string>
#include <sys/wait.h>

// Running the project's command-line programs from tests, through the shell.
namespace tarvenko::test {

// `arg` as one shell word, whatever it holds.
inline std::string cite(const std::string &arg)
{
    std::string out = "'";
    for (char c : arg)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

struct Execution {
    int code = -1;      // the exit code; -1 when the command could not run or did not exit
    std::string sortie; // what the command wrote on its standard output
};

// Runs a command line through the shell and collects its standard output.
inline Execution execute(const std::string &commande)
{
    Execution s;
    FILE *flux = popen(commande.c_str(), "r");
    if (!flux)
        return s;
    char tampon[4096];
    for (std::size_t n; (n = std::fread(tampon, 1, sizeof tampon, flux)) > 0;)
        s.sortie.append(tampon, n);
    const int statut = pclose(flux);
    s.code = WIFEXITED(statut) ? WEXITSTATUS(statut) : -1;
    return s;
}

} // namespace tarvenko::test
