#pragma once

#if defined(__SSE__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 1)
 #include <xmmintrin.h>
 #define ZMOD_HAS_MXCSR 1
#else
 #define ZMOD_HAS_MXCSR 0
#endif

// Flush-to-zero and denormals-are-zero for the lifetime of the object, the
// same policy the plug-in applies around every block, so tests, benchmark and
// plug-in all produce the same samples. Restores the previous mode on exit.
// Construct it on the thread that processes: the mode is per thread.
class ZMod_NoDenormals
{
public:
    ZMod_NoDenormals() noexcept
    {
#if ZMOD_HAS_MXCSR
        previous = _mm_getcsr();
        _mm_setcsr (previous | kFlushBits);
#endif
    }

    ~ZMod_NoDenormals()
    {
#if ZMOD_HAS_MXCSR
        _mm_setcsr (previous);
#endif
    }

    ZMod_NoDenormals (const ZMod_NoDenormals&) = delete;
    ZMod_NoDenormals& operator= (const ZMod_NoDenormals&) = delete;

private:
#if ZMOD_HAS_MXCSR
    // FTZ (bit 15) | DAZ (bit 6).
    static constexpr unsigned int kFlushBits = 0x8040u;
    unsigned int previous = 0;
#endif
};
