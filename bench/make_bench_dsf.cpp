// Writes a data system file of p variables with no findings: make_bench_dsf P OUTPUT.dsf
#include <exception>
#include <iostream>
#include <string>

#include "dsf_builder.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_bench_dsf P OUTPUT.dsf\n";
        return 2;
    }
    try {
        using namespace dsf2vemo::testing;
        WriteFileBytes(argv[2], BuildDsf(WellFormedMomentData(std::stoi(argv[1])), "BENCH"));
    } catch (const std::exception& error) {
        std::cerr << "make_bench_dsf: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
