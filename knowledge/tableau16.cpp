#include "knowledge/tableau16.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <mutex>

#if defined(__unix__)
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>
#define TARVENKO_PROJECTION 1
#endif

namespace tarvenko {

#if defined(TARVENKO_PROJECTION)
namespace {

// The mapped arrays' address ranges, for the bus-error handler: a slot is free while its start
// is 0. A process holds one key's matrix at a time, two while a key is opened again; beyond the
// slots, files are read instead of mapped.
constexpr int kZones = 16;
std::atomic<std::uintptr_t> g_debut[kZones];
std::atomic<std::uintptr_t> g_fin[kZones];
struct sigaction g_ancien {};
std::uintptr_t g_page = 4096;

// A page of a mapped file that no longer exists (the file was cut short after it was mapped)
// faults when read: it is replaced by a page of zeros, so the program goes on with the values it
// has instead of dying. Any other bus error goes to the handler that was there before.
void surErreurBus(int signal, siginfo_t *info, void *contexte)
{
    const auto adresse = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (int i = 0; i < kZones; ++i) {
        const std::uintptr_t debut = g_debut[i].load(std::memory_order_acquire);
        if (debut != 0 && adresse >= debut && adresse < g_fin[i].load(std::memory_order_acquire)) {
            void *page = reinterpret_cast<void *>(adresse & ~(g_page - 1));
            if (mmap(page, g_page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED)
                return;
        }
    }
    if ((g_ancien.sa_flags & SA_SIGINFO) != 0 && g_ancien.sa_sigaction != nullptr) {
        g_ancien.sa_sigaction(signal, info, contexte);
    } else if (g_ancien.sa_handler != SIG_DFL && g_ancien.sa_handler != SIG_IGN) {
        g_ancien.sa_handler(signal);
    } else {
        // The default action: the faulting instruction runs again and the process ends.
        struct sigaction defaut {};
        defaut.sa_handler = SIG_DFL;
        sigemptyset(&defaut.sa_mask);
        sigaction(SIGBUS, &defaut, nullptr);
    }
}

void installeGarde()
{
    static std::once_flag fait;
    std::call_once(fait, [] {
        if (const long page = sysconf(_SC_PAGESIZE); page > 0)
            g_page = static_cast<std::uintptr_t>(page);
        struct sigaction action {};
        action.sa_sigaction = surErreurBus;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, &g_ancien);
    });
}

std::mutex g_zones;

// A slot is taken by setting its start, then its end; freed in the other order, so that the
// handler never pairs one array's start with another's end.
int inscritZone(const void *debut, std::size_t octets)
{
    installeGarde();
    const auto d = reinterpret_cast<std::uintptr_t>(debut);
    const std::lock_guard verrou(g_zones);
    for (int i = 0; i < kZones; ++i) {
        if (g_debut[i].load(std::memory_order_acquire) == 0) {
            g_debut[i].store(d, std::memory_order_release);
            g_fin[i].store(d + octets, std::memory_order_release);
            return i;
        }
    }
    return -1;
}

void retireZone(const void *debut)
{
    const auto d = reinterpret_cast<std::uintptr_t>(debut);
    const std::lock_guard verrou(g_zones);
    for (int i = 0; i < kZones; ++i) {
        if (g_debut[i].load(std::memory_order_acquire) == d) {
            g_fin[i].store(0, std::memory_order_release);
            g_debut[i].store(0, std::memory_order_release);
            return;
        }
    }
}

} // namespace
#endif

Tableau16::Tableau16(const Tableau16 &autre) : m_propres(autre.begin(), autre.end()) {}

Tableau16::Tableau16(Tableau16 &&autre) noexcept
    : m_propres(std::move(autre.m_propres)), m_projection(autre.m_projection), m_tailleProjetee(autre.m_tailleProjetee),
      m_octetsProjetes(autre.m_octetsProjetes)
{
    autre.m_projection = nullptr;
    autre.m_tailleProjetee = 0;
    autre.m_octetsProjetes = 0;
    autre.m_propres.clear();
}

Tableau16 &Tableau16::operator=(const Tableau16 &autre)
{
    if (this != &autre) {
        std::vector<std::int16_t> copie(autre.begin(), autre.end());
        libere();
        m_propres = std::move(copie);
    }
    return *this;
}

Tableau16 &Tableau16::operator=(Tableau16 &&autre) noexcept
{
    if (this != &autre) {
        libere();
        m_propres = std::move(autre.m_propres);
        m_projection = autre.m_projection;
        m_tailleProjetee = autre.m_tailleProjetee;
        m_octetsProjetes = autre.m_octetsProjetes;
        autre.m_projection = nullptr;
        autre.m_tailleProjetee = 0;
        autre.m_octetsProjetes = 0;
        autre.m_propres.clear();
    }
    return *this;
}

Tableau16::~Tableau16() { libere(); }

void Tableau16::libere()
{
#if defined(TARVENKO_PROJECTION)
    if (m_projection) {
        retireZone(m_projection);
        munmap(m_projection, m_octetsProjetes);
    }
#endif
    m_projection = nullptr;
    m_tailleProjetee = 0;
    m_octetsProjetes = 0;
    m_propres.clear();
}

void Tableau16::resize(std::size_t n)
{
    if (m_projection) {
        std::vector<std::int16_t> propres(n, 0);
        std::copy_n(m_projection, std::min(n, m_tailleProjetee), propres.begin());
        libere();
        m_propres = std::move(propres);
        return;
    }
    m_propres.resize(n);
}

void Tableau16::assign(std::size_t n, std::int16_t valeur)
{
    libere();
    m_propres.assign(n, valeur);
}

void Tableau16::clear() { libere(); }

bool operator==(const Tableau16 &a, const Tableau16 &b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

bool Projette_Entiers16_Fd([[maybe_unused]] int fd, std::size_t count, [[maybe_unused]] Tableau16 &valeurs)
{
#if defined(TARVENKO_PROJECTION)
    if constexpr (std::endian::native != std::endian::little)
        return false;
    if (count == 0) {
        valeurs.clear();
        return true;
    }
    const std::size_t octets = count * sizeof(std::int16_t);
    void *p = mmap(nullptr, octets, PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0);
    if (p == MAP_FAILED)
        return false;
    if (inscritZone(p, octets) < 0) {
        munmap(p, octets);
        return false;
    }
    valeurs.libere();
    valeurs.m_projection = static_cast<std::int16_t *>(p);
    valeurs.m_tailleProjetee = count;
    valeurs.m_octetsProjetes = octets;
    return true;
#else
    return false;
#endif
}

} // namespace tarvenko
