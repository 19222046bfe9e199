// Parameter changes, mode changes included, arriving from another thread
// while the audio thread processes. Run under ThreadSanitizer (ctest -L tsan
// in a -DZP_TSAN=ON build) this checks the hand-over for data races.

#include "ZMod_NoDenormals.h"
#include "ZPlug_Pelorin.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

TEST (ThreadHandOver, ParameterThreadRacingTheAudioThreadKeepsOutputFinite)
{
    auto e = std::make_unique<ZPlug_Pelorin>();
    const float defaults[6] = { 0.5f, 0.626f, 0.5f, 0.5f, 0.5f, 1.0f / 11.0f };
    for (int i = 0; i < 6; ++i)
        e->SetParameter (i, defaults[i]);

    std::atomic<bool> done { false };
    std::atomic<long> changes { 0 };

    std::thread setter ([&] {
        unsigned step = 0;
        while (! done.load (std::memory_order_relaxed))
        {
            const int index = (int) (step % 6);
            // Walk each parameter over its whole range, the mode over all 11 modes.
            const float value = index == ZPlug_Pelorin::eMode ? (float) ((step / 6) % 11 + 1) / 11.0f
                                                              : (float) ((step * 7919u) % 1001u) / 1000.0f;
            e->SetParameter (index, value);
            (void) e->GetModeNumber();
            (void) e->GetNormalized (index);
            ++step;
            changes.fetch_add (1, std::memory_order_relaxed);
        }
    });

    std::vector<float> inL (256), inR (256), outL (256), outR (256);
    for (size_t i = 0; i < inL.size(); ++i)
    {
        inL[i] = 0.5f * std::sin (0.05f * (float) i);
        inR[i] = 0.5f * std::cos (0.031f * (float) i);
    }
    const float* ins[2] = { inL.data(), inR.data() };
    float* outs[2] = { outL.data(), outR.data() };

    bool finite = true;
    {
        ZMod_NoDenormals noDenormals;
        for (int block = 0; block < 1500; ++block)
        {
            // The host may also change the rate under the parameter thread.
            if (block % 200 == 100)
                e->SetSampleRate (block % 400 == 100 ? 44100 : 48000);
            e->Process (ins, outs, (int) inL.size());
            for (size_t i = 0; i < outL.size(); ++i)
                finite = finite && std::isfinite (outL[i]) && std::isfinite (outR[i]);
        }
    }
    done = true;
    setter.join();

    EXPECT_TRUE (finite);
    EXPECT_GT (changes.load(), 100);
}
