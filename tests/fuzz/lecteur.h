#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarvenko::fuzz {

// Takes the fuzzer's bytes one decision at a time; past the end every decision is 0, so any
// input, even empty, decodes to something.
class Lecteur {
public:
    Lecteur(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    bool fini() const { return m_pos >= m_size; }
    std::uint8_t octet() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    // A number in [0, n).
    int choix(int n) { return n <= 0 ? 0 : octet() % n; }
    // A number in [min, max].
    int entre(int min, int max) { return min + choix(max - min + 1); }
    bool bit() { return (octet() & 1) != 0; }
    std::int16_t mot()
    {
        const std::uint8_t low = octet();
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (octet() << 8)));
    }
    // The rest of the input.
    const std::uint8_t *reste() const { return m_data + (m_pos < m_size ? m_pos : m_size); }
    std::size_t tailleReste() const { return m_pos < m_size ? m_size - m_pos : 0; }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

} // namespace tarvenko::fuzz
