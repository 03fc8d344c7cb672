#pragma once

namespace tarvenko {

// A picture loaded from the knowledge base (a drawing layer, an overlay). The core only keeps and
// passes pictures around; the user interface creates them and paints them.
class Picture {
public:
    virtual ~Picture() = default;
};

} // namespace tarvenko
