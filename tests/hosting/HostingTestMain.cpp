// The hosting tests' main: plug-ins are created and their state exchanged on
// the thread that runs the tests; the scratch folder goes when they are done.

#include "HostedPlugin.h"
#include "JuceTestMain.h"

int main (int argc, char** argv)
{
    const int result = zptest::runAllTestsWithJuce (argc, argv);
    zph::scratchFolder().deleteRecursively();
    return result;
}
