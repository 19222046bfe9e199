// The engine's random generators seed rand() from time() when a processor is
// built and draw their first points then, before any host could seed it.
// This binary answers time() with one fixed second, for itself and for the
// plug-in modules it loads (exported through exported-symbols.list), so two
// hosted instances start their random modulation from the same points.

#include <ctime>

extern "C" time_t time (time_t* result) noexcept
{
    const time_t fixed = 1700000000;
    if (result != nullptr)
        *result = fixed;
    return fixed;
}
