#include "JuceTestMain.h"

int main (int argc, char** argv)
{
    return zptest::runAllTestsWithJuce (argc, argv);
}
