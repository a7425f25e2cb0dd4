// Writes the sample data system file: header "DEMO", 150 cases, variables X1 and X2,
// covariances 1.5, 0.3 and 2.25, means 10 and 20.5.
#include <exception>
#include <iostream>

#include "dsf_builder.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_demo_dsf OUTPUT.dsf\n";
        return 2;
    }
    try {
        using namespace dsf2vemo::testing;
        WriteFileBytes(argv[1], BuildDsf(DemoMomentData(), kDemoHeader));
    } catch (const std::exception& error) {
        std::cerr << "make_demo_dsf: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
