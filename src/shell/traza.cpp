#include "traza.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace pindel {

namespace {
bool g_activa = false;
std::chrono::steady_clock::time_point g_inicio;
} // namespace

void iniciarTraza()
{
    g_inicio = std::chrono::steady_clock::now();
    const char *valor = std::getenv("PINDEL_TRACE");
    g_activa = valor && std::strcmp(valor, "1") == 0;
}

bool trazaActiva() { return g_activa; }

void traza(const char *fase)
{
    if (!g_activa)
        return;
    const std::chrono::duration<double, std::milli> desde = std::chrono::steady_clock::now() - g_inicio;
    std::fprintf(stderr, "pindel: traza: %8.1f ms  %s\n", desde.count(), fase);
    std::fflush(stderr);
}

} // namespace pindel
