#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What each fuzzing harness does with one input. The libFuzzer programs call these, and so does
// the corpus replay of the normal test run, so that every input kept in the corpora is played
// again by every build.
namespace tarvenko::fuzz {

// An identification file read for a key of a few states and groups (the first bytes choose the
// counts), then written back: what was read must give the same bytes.
int Cible_Identification(const std::uint8_t *data, std::size_t size);

// POIDS.DAT and MATRICE.DAT read for counts taken from the first bytes (any 16-bit values), then
// the species scored and ranked on what was read.
int Cible_Fichiers_Dat(const std::uint8_t *data, std::size_t size);

// A knowledge base described by the input (species, objects and states, layers, zones, buttons,
// dependencies, contradictions, common names, spoilt parameters, missing tables and fields,
// values overwritten with NULL, text or numbers), written with the builder, loaded as start-up
// loads it, then answered, searched, scanned and checked for contradictions as the input says.
int Cible_Base(const std::uint8_t *data, std::size_t size);

// Inputs that describe a few sound and damaged knowledge bases: the seeds of Cible_Base.
std::vector<std::vector<std::uint8_t>> Graines_Base();
std::vector<std::vector<std::uint8_t>> Graines_Identification();
std::vector<std::vector<std::uint8_t>> Graines_Fichiers_Dat();

// A folder of its own for the files one harness writes, made once per process.
const std::string &Dossier_Travail();

} // namespace tarvenko::fuzz
