#pragma once

#include "knowledge/key_model.h"

namespace tarvenko {

// Resets the identification: no state chosen, no group answered, no question passed. The joker
// flags are left as they are (the New command reloads them).
void Nettoye(KeyModel &m);

} // namespace tarvenko
